#include "removal/entry_changes_win32.h"

#include "platform/paths_win32.h"
#include "removal/nt_entries_win32.h"

NTSTATUS SystemChanges::OpenFileToDelete(HANDLE directory, const wchar_t* name, size_t length, KernelHandle& file) {
  return OpenBelow(directory, name, length, DELETE, kShareAll, FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE, file);
}

// Where clearing is allowed and the entry was refused for its read-only
// attribute, it goes all the same. The attribute belongs to the file, not to
// the name: where the system cannot ignore it at deletion, it is cleared and
// put back before the handle closes, so that another name of the file keeps
// it, and so does whatever still stays.
NTSTATUS SystemChanges::Mark(HANDLE handle, bool clear_attributes) {
  const NTSTATUS status = MarkForDeletion(handle);
  BY_HANDLE_FILE_INFORMATION information;
  if (status != kCannotDelete || !clear_attributes || !GetFileInformationByHandle(handle, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return status;
  }
  constexpr ULONG kDeleteIgnoringReadOnly = 0x1 | 0x10;
  ULONG flags = kDeleteIgnoringReadOnly;
  IO_STATUS_BLOCK io;
  if (NT_SUCCESS(NtSetInformationFile(handle, &io, &flags, sizeof(flags), kDispositionInformationEx))) return 0;
  SetAttributes(handle, FILE_ATTRIBUTE_NORMAL);
  const NTSTATUS again = MarkForDeletion(handle);
  if (!NT_SUCCESS(again) || information.nNumberOfLinks > 1) SetAttributes(handle, information.dwFileAttributes);
  return again;
}

NTSTATUS SystemChanges::Rename(HANDLE file, HANDLE directory, const wchar_t* name, size_t length) {
  struct {
    BOOLEAN replace;
    HANDLE root;
    ULONG name_bytes;
    WCHAR name[MAX_PATH];
  } rename{FALSE, directory, static_cast<ULONG>(length * sizeof(wchar_t)), {}};
  if (length >= MAX_PATH) return kNameCollision;
  for (size_t i = 0; i < length; ++i) rename.name[i] = name[i];
  IO_STATUS_BLOCK io;
  return NtSetInformationFile(file, &io, &rename, sizeof(rename), kRenameInformation);
}

RemovalResult SystemChanges::ScheduleForRestart(HANDLE handle) {
  const std::wstring name = RestartName(handle);
  if (!name.empty() && MoveFileExW(name.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return {Outcome::kAtRestart, 0};
  }
  return {Outcome::kInUse, GetLastError()};
}

NTSTATUS PlannedChanges::OpenFileToDelete(HANDLE directory, const wchar_t* name, size_t length, KernelHandle& file) {
  const NTSTATUS status =
      OpenBelow(directory, name, length, DELETE | FILE_READ_ATTRIBUTES, kShareAll, FILE_NON_DIRECTORY_FILE, file);
  return NT_SUCCESS(status) ? Mark(file.Get(), false) : status;
}

PlannedEntry PlannedChanges::EntryOf(HANDLE handle, bool directory) {
  // A file by the name it was opened by, in its folder as the folder's identity names it.
  std::wstring path(kLongestName, L'\0');
  const DWORD length = directory ? 0 : GetFinalPathNameByHandleW(handle, &path[0], kLongestName, VOLUME_NAME_DOS);
  const size_t slash = length > 0 && length < kLongestName ? path.rfind(L'\\', length - 1) : std::wstring::npos;
  if (slash != std::wstring::npos && slash + 1 < length) {
    const std::wstring folder = path.substr(0, slash) + (path[slash - 1] == L':' ? L"\\" : L"");
    const HANDLE opened = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const KernelHandle parent(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    if (parent.Valid()) {
      PlannedEntry entry{FullIdentityOf(parent.Get()), std::string()};
      AppendNarrow(entry.name, path.substr(slash + 1, length - slash - 1));
      return entry;
    }
  }
  return {FullIdentityOf(handle), std::string()};
}

NTSTATUS PlannedChanges::Mark(HANDLE handle, bool clear_attributes) {
  SeenEntry seen;
  if (!IdentityOf(handle, seen)) return kCannotDelete;
  PlannedEntry identity = EntryOf(handle, IsDirectory(seen.attributes));
  // Named a second time (by [Files] and by Ready, say): gone already.
  if (removals_.Has(identity)) return kNameNotFound;
  if ((seen.attributes & FILE_ATTRIBUTE_READONLY) != 0 && !clear_attributes) return kCannotDelete;
  if (IsDirectory(seen.attributes) && !IsReparsePoint(seen.attributes)) {
    // Listed afresh: the handle at hand may have listed once already.
    KernelHandle again;
    NTSTATUS status =
        OpenBelow(handle, nullptr, 0, FILE_LIST_DIRECTORY | FILE_TRAVERSE, kShareAll, FILE_DIRECTORY_FILE, again);
    uint32_t scheduled = 0;
    if (!NT_SUCCESS(status)) return status;
    if (CountEntries(again.Get(), status, scheduled, *this) > 0) return kDirectoryNotEmpty;
    if (!NT_SUCCESS(status)) return status;
  }
  removals_.Add(std::move(identity));
  return 0;
}

NTSTATUS PlannedChanges::Rename(HANDLE, HANDLE, const wchar_t*, size_t) { return kAccessDenied; }

bool PlannedChanges::Gone(HANDLE handle) {
  SeenEntry seen;
  return IdentityOf(handle, seen) && removals_.Has(EntryOf(handle, IsDirectory(seen.attributes)));
}

bool PlannedChanges::GoneBelow(HANDLE directory, const wchar_t* name, size_t length) {
  KernelHandle entry;
  return NT_SUCCESS(OpenBelow(directory, name, length, FILE_READ_ATTRIBUTES, kShareAll, 0, entry)) && Gone(entry.Get());
}

bool PlannedChanges::GoneAt(const std::string& path) {
  const std::string full = FullPath(path);
  if (full.empty()) return false;
  const KernelHandle entry = OpenEntryAt(full, FILE_READ_ATTRIBUTES);
  return entry.Valid() && Gone(entry.Get());
}
