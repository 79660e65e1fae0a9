#include "removal/nt_entries_win32.h"

#include "platform/paths_win32.h"
#include "platform/text_win32.h"
#include "removal/file_system.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apc, PVOID context, PIO_STATUS_BLOCK io,
                                               PVOID buffer, ULONG length, FILE_INFORMATION_CLASS kind, BOOLEAN single,
                                               PUNICODE_STRING mask, BOOLEAN restart);

const ListedEntry* Listing::Next() {
  for (;;) {
    if (at_ == nullptr) {
      if (done_) return nullptr;
      IO_STATUS_BLOCK io;
      const bool masked = mask_.Buffer != nullptr;
      status = NtQueryDirectoryFile(directory_, nullptr, nullptr, nullptr, &io, buffer_.get(), kListingBytes,
                                    kIdBothDirectoryInformation, masked, masked ? &mask_ : nullptr, first_);
      first_ = false;
      done_ = masked || status != 0;
      if (status == kNoMoreFiles) {
        status = 0;
        return nullptr;
      }
      if (!NT_SUCCESS(status)) return nullptr;
      at_ = reinterpret_cast<const char*>(buffer_.get());
    }
    const auto* entry = reinterpret_cast<const ListedEntry*>(at_);
    at_ = entry->next != 0 ? at_ + entry->next : nullptr;
    const size_t length = entry->name_bytes / sizeof(wchar_t);
    if (entry->name[0] != L'.' || length > 2 || (length == 2 && entry->name[1] != L'.')) return entry;
  }
}

// An entry that vanished while the walk listed it holds its directory no more.
bool Stays(Outcome outcome) { return outcome != Outcome::kRemoved && outcome != Outcome::kAbsent; }

RemovalResult Failure(NTSTATUS status) { return ResultOfError(RtlNtStatusToDosError(status)); }

RemovalResult Done(NTSTATUS status) {
  return NT_SUCCESS(status) ? RemovalResult{Outcome::kRemoved, 0} : Failure(status);
}

bool IsDirectory(ULONG attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsReparsePoint(ULONG attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool LeadsElsewhere(const SeenEntry& seen) {
  return IsReparsePoint(seen.attributes) && ReparseTagLeadsElsewhere(seen.tag);
}

bool IsDirectoryLink(const SeenEntry& seen) { return IsDirectory(seen.attributes) && LeadsElsewhere(seen); }

// Opens a name (none: the directory itself once more) relative to a held
// directory, the link itself rather than what it points to where the
// platform allows it.
NTSTATUS OpenBelow(HANDLE parent, const wchar_t* name, size_t length, ACCESS_MASK access, ULONG share, ULONG options,
                   KernelHandle& opened) {
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name);
  text.Length = text.MaximumLength = static_cast<USHORT>(length * sizeof(wchar_t));
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK io;
  HANDLE handle = nullptr;
  const NTSTATUS status = NtCreateFile(&handle, access | SYNCHRONIZE, &object, &io, nullptr, 0, share, FILE_OPEN,
                                       options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  opened.Reset(NT_SUCCESS(status) ? handle : nullptr);
  return status;
}

NTSTATUS Reopen(HANDLE directory, KernelHandle& again) {
  return OpenBelow(directory, nullptr, 0, FILE_LIST_DIRECTORY | FILE_TRAVERSE, kShareAllButDelete, FILE_DIRECTORY_FILE,
                   again);
}

// The entry a handle holds; a reparse point's tag where the platform tells
// it (none: taken for a link).
bool IdentityOf(HANDLE handle, SeenEntry& seen) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return false;
  seen.attributes = information.dwFileAttributes;
  seen.id = static_cast<LONGLONG>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  seen.tag =
      IsReparsePoint(seen.attributes) && GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag))
          ? tag.ReparseTag
          : 0;
  return true;
}

// The entry of that name in a held directory, as a listing shows it; one
// removed already is gone. The first query of a handle fixes its mask, so the
// directory is opened anew.
NTSTATUS LookUp(HANDLE parent, const wchar_t* name, size_t length, SeenEntry& seen, EntryChanges& changes) {
  KernelHandle again;
  NTSTATUS status = Reopen(parent, again);
  if (!NT_SUCCESS(status)) return status;
  Listing listing(again.Get(), name, length);
  const ListedEntry* entry = listing.Next();
  if (entry == nullptr) return NT_SUCCESS(listing.status) ? kNameNotFound : listing.status;
  seen = {entry->attributes, entry->reparse_tag, entry->id.QuadPart};
  return changes.GoneBelow(parent, name, length) ? kNameNotFound : 0;
}

// Opens a directory that a listing showed and checks that the handle holds
// that very directory: a link put in its place since (or, where the
// platform cannot open a link itself, followed) shows another identity.
RemovalResult OpenChecked(HANDLE parent, const wchar_t* name, size_t length, const SeenEntry& listed,
                          ACCESS_MASK access, KernelHandle& opened) {
  const NTSTATUS status = OpenBelow(parent, name, length, access, kShareAllButDelete, FILE_DIRECTORY_FILE, opened);
  if (!NT_SUCCESS(status)) return Failure(status);
  SeenEntry now;
  RemovalResult result{kOpened, 0};
  if (!IdentityOf(opened.Get(), now)) {
    result = ResultOfError(GetLastError());
  } else if (LeadsElsewhere(now)) {
    result.outcome = Outcome::kThroughLink;
  } else if (now.id != listed.id) {
    result.outcome = Outcome::kChanged;
  }
  if (result.outcome != kOpened) opened.Reset();
  return result;
}

NTSTATUS MarkForDeletion(HANDLE handle) {
  IO_STATUS_BLOCK io;
  BOOLEAN remove = TRUE;
  return NtSetInformationFile(handle, &io, &remove, sizeof(remove), kDispositionInformation);
}

NTSTATUS SetAttributes(HANDLE handle, ULONG attributes) {
  IO_STATUS_BLOCK io;
  BasicInformation basic{};
  basic.attributes = attributes;
  return NtSetInformationFile(handle, &io, &basic, sizeof(basic), kBasicInformation);
}

// The name the restart list gives an open entry: its volume's own name and
// its path there, as the handle holds them, so that no link or drive letter
// set up later redirects it. Where the volume has no such name, its path as
// the handle holds it.
std::wstring RestartName(HANDLE handle) {
  for (const DWORD kind : {VOLUME_NAME_GUID, VOLUME_NAME_DOS}) {
    std::wstring name(kLongestName, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, &name[0], kLongestName, kind);
    if (length > 0 && length < kLongestName) return name.substr(0, length);
  }
  return std::wstring();
}

std::wstring Wide(const std::string& text) { return WideText(text); }

// A directory opened by its full path, following links as the platform does.
KernelHandle OpenDirectoryAt(const std::string& path, ACCESS_MASK access) {
  const HANDLE handle = CreateFileW(Wide(path).c_str(), access | SYNCHRONIZE, kShareAllButDelete, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The entry a full path names: itself, not what a link at its end points to.
KernelHandle OpenEntryAt(const std::string& full, ACCESS_MASK access) {
  const HANDLE opened = CreateFileW(Wide(LongPathForm(full)).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return KernelHandle(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
}

// A name the system gives, appended as the program's text; a letter it
// cannot hold exactly shows as the default character.
void AppendNarrow(std::string& text, const std::wstring& wide) {
  std::string narrow;
  NarrowText(wide, narrow);
  text += narrow;
}

// The entries a directory holds; scheduled: those that are files this
// process left to the restart.
uint32_t CountEntries(HANDLE directory, NTSTATUS& status, uint32_t& scheduled, EntryChanges& changes) {
  const std::wstring ours = Wide(InUsePrefix(GetCurrentProcessId()));
  Listing listing(directory);
  uint32_t count = 0;
  while (const ListedEntry* entry = listing.Next()) {
    if (changes.GoneBelow(directory, entry->name, entry->name_bytes / sizeof(wchar_t))) continue;
    ++count;
    scheduled += entry->name_bytes / sizeof(wchar_t) > ours.size() && !IsDirectory(entry->attributes) &&
                 ours.compare(0, ours.size(), entry->name, ours.size()) == 0;
  }
  status = listing.status;
  return count;
}

// FILE_ID_INFO, which the headers give only to programs for Windows 8 and later.
struct IdInformation {
  ULONGLONG volume;
  ULONGLONG id[2];  // the low half first
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

// What names the open entry alone: its 128-bit id where the system gives one
// (ReFS's 64-bit index is not unique), its 64-bit index on a system before
// Windows 8, and its final path where the volume gives no usable id.
FileIdentity FullIdentityOf(HANDLE handle) {
  FileIdentity identity;
  IdInformation id{};
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileInformationByHandleEx(handle, kFileIdInfo, &id, sizeof(id))) {
    identity = {id.volume, id.id[1], id.id[0], {}};
  } else if (GetFileInformationByHandle(handle, &information)) {
    identity.volume = information.dwVolumeSerialNumber;
    identity.id_low = static_cast<uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
  }
  const bool none = identity.id_high == identity.id_low && (identity.id_low == 0 || identity.id_low == ~0ull);
  if (none) {
    identity.id_high = identity.id_low = 0;
    AppendNarrow(identity.path, RestartName(handle));
    identity.path = UpperCase(identity.path);
  }
  return identity;
}

// A file in use, which cannot be deleted (a running program, a loaded
// library): renamed beside itself first, so that its path is free for a new
// installation, which the restart then never touches, and its new name
// removed at the next restart, where the rights allow it; where they do not,
// it takes its name back and stays.
RemovalResult LeaveToRestart(HANDLE file, HANDLE directory, const std::wstring& name, EntryChanges& changes) {
  NTSTATUS status = kNameCollision;
  for (int attempt = 0; attempt < 8 && status == kNameCollision; ++attempt) {
    const std::wstring taken = Wide(InUseName(GetCurrentProcessId(), attempt));
    status = changes.Rename(file, directory, taken.c_str(), taken.size());
  }
  if (!NT_SUCCESS(status)) return {Outcome::kInUse, RtlNtStatusToDosError(status)};
  const RemovalResult result = changes.ScheduleForRestart(file);
  if (result.outcome != Outcome::kAtRestart) changes.Rename(file, directory, name.c_str(), name.size());
  return result;
}
