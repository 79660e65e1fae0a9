#include "removal/file_system_win32.h"

#include "platform/paths_win32.h"
#include "removal/file_system.h"
#include "removal/nt_entries_win32.h"

NTSTATUS CreateFileBelow(HANDLE directory, const std::wstring& name, ACCESS_MASK access, ULONG share, bool fresh,
                         SECURITY_ATTRIBUTES* rights, KernelHandle& file) {
  file.Reset();
  constexpr NTSTATUS kNameInvalid = static_cast<NTSTATUS>(0xC0000033);
  if (name.empty() || name.find_first_of(L"\\/") != std::wstring::npos) return kNameInvalid;
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, directory,
                             rights != nullptr ? rights->lpSecurityDescriptor : nullptr);
  // Never a named pipe's chance to act as the run's account.
  SECURITY_QUALITY_OF_SERVICE quality{sizeof(quality), SecurityIdentification, SECURITY_STATIC_TRACKING, FALSE};
  object.SecurityQualityOfService = &quality;
  IO_STATUS_BLOCK io;
  HANDLE handle = nullptr;
  constexpr ULONG kCreate = 2, kOpenOrCreate = 3;  // FILE_CREATE, FILE_OPEN_IF
  const NTSTATUS status =
      NtCreateFile(&handle, access | SYNCHRONIZE, &object, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                   fresh ? kCreate : kOpenOrCreate,
                   FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  file.Reset(NT_SUCCESS(status) ? handle : nullptr);
  return status;
}

bool ScheduleRemovalAtRestart(const std::string& full_path) {
  const KernelHandle entry = OpenEntryAt(full_path, FILE_READ_ATTRIBUTES);
  SystemChanges system;
  return entry.Valid() && system.ScheduleForRestart(entry.Get()).outcome == Outcome::kAtRestart;
}

bool IdentityAt(const std::string& path, FileIdentity& identity) {
  const std::string full = FullPath(path);
  if (full.empty()) return false;
  const HANDLE opened = CreateFileW(Wide(LongPathForm(full)).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const KernelHandle entry(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  if (entry.Valid()) identity = FullIdentityOf(entry.Get());
  return entry.Valid();
}

bool HandleIsAt(HANDLE handle, const std::string& full_path) {
  const std::wstring named = Wide(LongPathForm(full_path));
  std::wstring final(kLongestName, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(handle, &final[0], kLongestName, VOLUME_NAME_DOS);
  return length > 0 && length < kLongestName &&
         CompareStringOrdinal(final.data(), static_cast<int>(length), named.data(), static_cast<int>(named.size()),
                              TRUE) == CSTR_EQUAL;
}

RemovalResult RemoveAbsolute(const std::string& path, bool directory, EntryChanges& changes) {
  // A path that is not full would be taken from wherever the user started
  // the program.
  if (!IsFullPath(path)) return {Outcome::kOutside, 0};
  const std::string full = FullPath(path);
  if (full.empty()) return {Outcome::kAbsent, 0};
  if (BeyondPathLimit(full)) return {Outcome::kTooLong, 0};
  const KernelHandle entry = OpenEntryAt(full, DELETE | FILE_READ_ATTRIBUTES | (directory ? FILE_LIST_DIRECTORY : 0));
  if (!entry.Valid()) return ResultOfError(GetLastError());
  SeenEntry seen;
  if (!IdentityOf(entry.Get(), seen)) return ResultOfError(GetLastError());
  if (changes.Gone(entry.Get())) return {Outcome::kAbsent, 0};
  // A file where a directory was named, or the other way round, is not
  // what the path names; a directory that is itself a link stays with it.
  if (IsDirectory(seen.attributes) != directory) return {Outcome::kChanged, 0};
  if (directory && LeadsElsewhere(seen)) return {Outcome::kLink, 0};
  if (directory && MayHoldUnlisted(seen.attributes)) return {Outcome::kNotEmpty, ERROR_DIR_NOT_EMPTY};
  if (!HandleIsAt(entry.Get(), full)) return {Outcome::kThroughLink, 0};
  // A directory goes only when it is empty, a read-only file not at all.
  const NTSTATUS status = changes.Mark(entry.Get(), false);
  if (status != kCannotDelete || directory || (seen.attributes & FILE_ATTRIBUTE_READONLY) != 0) return Done(status);
  // Refused although it is not read-only: in use, and left to the restart
  // as the walk leaves one, from its own folder.
  const KernelHandle parent = OpenDirectoryAt(FolderOf(full), kHoldAccess);
  if (!parent.Valid()) return Done(status);
  return LeaveToRestart(entry.Get(), parent.Get(), Wide(FileNameOf(full)), changes);
}

std::vector<HeldEntry> EntriesOf(const std::string& directory, EntryChanges& changes) {
  std::vector<HeldEntry> entries;
  const KernelHandle held = OpenDirectoryAt(directory, FILE_LIST_DIRECTORY | FILE_TRAVERSE);
  if (!held.Valid()) return entries;
  Listing listing(held.Get());
  while (const ListedEntry* entry = listing.Next()) {
    const size_t length = entry->name_bytes / sizeof(wchar_t);
    if (changes.GoneBelow(held.Get(), entry->name, length)) continue;
    entries.emplace_back();
    AppendNarrow(entries.back().name, std::wstring(entry->name, length));
    entries.back().directory = IsDirectory(entry->attributes);
    entries.back().link = LeadsElsewhere({entry->attributes, entry->reparse_tag, entry->id.QuadPart});
  }
  return entries;
}

bool FileExists(const std::string& path, EntryChanges& changes) {
  if (path.empty() || IsDriveRoot(path)) return false;
  // A network path that the search does not find is a share or missing:
  // never a file. A path beyond the platform's limit is never looked for, so
  // it is never taken for a shorter one.
  const std::string name = WithoutTrailingBackslashes(path);
  const std::wstring wide = Wide(name);
  if (wide.empty() || BeyondPathLimit(name)) return false;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(wide.c_str(), &found));
  // A directory another program holds for deletion cannot be listed; its
  // entries still answer for themselves.
  if (!search.Valid() && GetLastError() == ERROR_SHARING_VIOLATION) {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           !changes.GoneAt(name);
  }
  // With wildcards, the first entry they match answers.
  if (!search.Valid() || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  std::string match = name.substr(0, name.find_last_of("\\/:") + 1);
  AppendNarrow(match, found.cFileName);
  return !changes.GoneAt(match);
}
