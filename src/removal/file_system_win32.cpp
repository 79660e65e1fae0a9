#include "removal/file_system_win32.h"

#include <winternl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/paths_win32.h"
#include "platform/text_win32.h"
#include "removal/file_system.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apc, PVOID context, PIO_STATUS_BLOCK io,
                                               PVOID buffer, ULONG length, FILE_INFORMATION_CLASS kind, BOOLEAN single,
                                               PUNICODE_STRING mask, BOOLEAN restart);

namespace {

constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006);
constexpr NTSTATUS kAccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kCannotDelete = static_cast<NTSTATUS>(0xC0000121);
constexpr NTSTATUS kDirectoryNotEmpty = static_cast<NTSTATUS>(0xC0000101);

// The information classes the walk uses, by the platform's numbers.
constexpr auto kBasicInformation = static_cast<FILE_INFORMATION_CLASS>(4);
constexpr auto kRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
constexpr auto kDispositionInformation = static_cast<FILE_INFORMATION_CLASS>(13);
constexpr auto kIdBothDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(37);
constexpr auto kDispositionInformationEx = static_cast<FILE_INFORMATION_CLASS>(64);

constexpr ACCESS_MASK kHoldAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr ACCESS_MASK kRemoveAccess = kHoldAccess | DELETE;
constexpr ULONG kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ULONG kShareAll = kShareAllButDelete | FILE_SHARE_DELETE;
constexpr ULONG kListingBytes = 8192;
constexpr DWORD kLongestName = 32768;
// Stands for "opened and checked" among the outcomes of an open.
constexpr Outcome kOpened = Outcome::kRemoved;

// One entry of a listing, as the platform lays it out.
struct ListedEntry {
  ULONG next;
  ULONG index;
  LARGE_INTEGER times[4];
  LARGE_INTEGER end_of_file;
  LARGE_INTEGER allocation;
  ULONG attributes;
  ULONG name_bytes;
  ULONG reparse_tag;  // the extended attributes' size, or for a reparse point its tag
  CCHAR short_name_length;
  WCHAR short_name[12];
  LARGE_INTEGER id;
  WCHAR name[1];
};

struct BasicInformation {
  LARGE_INTEGER times[4];
  ULONG attributes;
};

// A listing of a directory handle, entry by entry, "." and ".." left out;
// with a name, only the entry of that name. A handle lists once.
class Listing {
 public:
  explicit Listing(HANDLE directory, const wchar_t* name = nullptr, size_t length = 0)
      : directory_(directory), buffer_(new LONGLONG[kListingBytes / sizeof(LONGLONG)]) {
    mask_.Buffer = const_cast<PWSTR>(name);
    mask_.Length = mask_.MaximumLength = static_cast<USHORT>(length * sizeof(wchar_t));
  }
  // The next entry, or null at the end; status then tells whether the
  // listing failed.
  const ListedEntry* Next();
  HANDLE Directory() const { return directory_; }
  NTSTATUS status = 0;

 private:
  HANDLE directory_;
  std::unique_ptr<LONGLONG[]> buffer_;
  UNICODE_STRING mask_;
  const char* at_ = nullptr;
  bool first_ = true;
  bool done_ = false;
};

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

RemovalResult ResultOfError(uint32_t error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {Outcome::kAbsent, error};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return {Outcome::kInUse, error};
    case ERROR_ACCESS_DENIED:
      return {Outcome::kDenied, error};
    case ERROR_DIR_NOT_EMPTY:
      return {Outcome::kNotEmpty, error};
    default:
      return {Outcome::kFailed, error};
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
  const HANDLE handle = CreateFileW(Wide(path).c_str(), access | SYNCHRONIZE, kShareAllButDelete, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

}  // namespace

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

bool HeldInstallation::Hold(const std::string& own_directory, const std::vector<std::string>& kept) {
  Release();
  own_ = own_directory;
  root_ = OpenDirectoryAt(own_directory, kHoldAccess);
  root_error_ = root_.Valid() ? 0 : GetLastError();
  for (const std::string& path : kept) kept_ += Wide(path + "|");
  return root_.Valid();
}

void HeldInstallation::Release() {
  while (!chain_.empty()) chain_.pop_back();
  chain_path_.clear();
  root_.Reset();
  kept_.clear();
}

void HeldInstallation::Report(RemovalListener& listener, bool directory, RemovalResult result, uint32_t held) const {
  EntryReport report;
  if (listener.name_every_entry || result.outcome != Outcome::kRemoved) {
    report.path = own_;
    AppendNarrow(report.path, relative_);
  }
  report.directory = directory;
  report.outcome = result.outcome;
  report.error = result.error;
  report.held = held;
  listener.Entry(report);
}

bool HeldInstallation::Kept() const {
  for (size_t start = 0, end; (end = kept_.find(L'|', start)) != std::wstring::npos; start = end + 1) {
    if (CompareStringOrdinal(kept_.data() + start, static_cast<int>(end - start), relative_.data(),
                             static_cast<int>(relative_.size()), TRUE) == CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

RemovalResult HeldInstallation::HoldParents(size_t parents_end) {
  size_t kept = 0;
  while (kept < chain_.size()) {
    const size_t end = chain_[kept].end;
    if (end > parents_end || relative_.compare(0, end, chain_path_, 0, end) != 0 || relative_[end] != L'\\') break;
    ++kept;
  }
  while (chain_.size() > kept) chain_.pop_back();
  chain_path_.assign(relative_, 0, parents_end);
  for (size_t start = kept == 0 ? 0 : chain_.back().end + 1; start < parents_end;) {
    size_t end = relative_.find(L'\\', start);
    if (end > parents_end) end = parents_end;
    SeenEntry seen;
    const NTSTATUS status = LookUp(Innermost(), &relative_[start], end - start, seen, *changes_);
    if (!NT_SUCCESS(status)) return Failure(status);
    if (IsDirectoryLink(seen)) return {Outcome::kThroughLink, 0};
    Held held{KernelHandle(), end};
    const RemovalResult result =
        OpenChecked(Innermost(), &relative_[start], end - start, seen, kHoldAccess, held.handle);
    if (result.outcome != kOpened) return result;
    chain_.push_back(std::move(held));
    start = end + 1;
  }
  return {kOpened, 0};
}

RemovalResult HeldInstallation::RemoveFile(HANDLE directory, size_t name, bool clear_attributes) {
  // A file, or a link to one, goes by its name here: a directory put in its
  // place is refused by the open.
  const wchar_t* text = &relative_[name];
  const size_t length = relative_.size() - name;
  KernelHandle file;
  NTSTATUS status = changes_->OpenFileToDelete(directory, text, length, file);
  if (status == kCannotDelete) {
    constexpr ACCESS_MASK kAccess = DELETE | FILE_READ_ATTRIBUTES;
    NTSTATUS opened = OpenBelow(directory, text, length, kAccess | (clear_attributes ? FILE_WRITE_ATTRIBUTES : 0),
                                kShareAll, FILE_NON_DIRECTORY_FILE, file);
    // Wine refuses leave to write the attributes of a read-only file, and
    // changes them without it.
    if (opened == kAccessDenied)
      opened = OpenBelow(directory, text, length, kAccess, kShareAll, FILE_NON_DIRECTORY_FILE, file);
    if (NT_SUCCESS(opened)) status = changes_->Mark(file.Get(), clear_attributes);
    // Refused although it is not read-only: a running program or a loaded
    // library, which may still be renamed.
    SeenEntry seen;
    if (status == kCannotDelete && IdentityOf(file.Get(), seen) && (seen.attributes & FILE_ATTRIBUTE_READONLY) == 0) {
      return LeaveToRestart(file.Get(), directory, relative_.substr(name), *changes_);
    }
  }
  return Done(status);
}

RemovalResult HeldInstallation::RemoveEntry(HANDLE parent, size_t name, const SeenEntry& seen, bool tree,
                                            uint32_t& held, RemovalListener& listener) {
  const wchar_t* text = &relative_[name];
  const size_t length = relative_.size() - name;
  if (!IsDirectory(seen.attributes)) return RemoveFile(parent, name, tree);
  if (IsDirectoryLink(seen)) return RemoveLink(parent, text, length);
  // Only what is all on disk can be seen to be empty.
  if (!tree && MayHoldUnlisted(seen.attributes)) return {Outcome::kNotEmpty, ERROR_DIR_NOT_EMPTY};
  KernelHandle directory;
  const RemovalResult opened =
      OpenChecked(parent, text, length, seen, kRemoveAccess | (tree ? FILE_WRITE_ATTRIBUTES : 0), directory);
  if (opened.outcome != kOpened) return opened;
  NTSTATUS status = 0;
  uint32_t scheduled = 0;
  held = tree ? Empty(directory.Get(), true, scheduled, listener)
              : CountEntries(directory.Get(), status, scheduled, *changes_);
  if (held == 0 && !NT_SUCCESS(status)) return Failure(status);
  return Finish(directory.Get(), held, scheduled, tree);
}

RemovalResult HeldInstallation::RemoveLink(HANDLE parent, const wchar_t* name, size_t length) {
  // Only the link goes, and only where the platform opens the link itself:
  // elsewhere the handle holds what it points to, and the link stays.
  KernelHandle link;
  const NTSTATUS status = OpenBelow(parent, name, length, DELETE | FILE_READ_ATTRIBUTES, kShareAll, 0, link);
  SeenEntry now;
  if (NT_SUCCESS(status) && (!IdentityOf(link.Get(), now) || !IsReparsePoint(now.attributes))) {
    return {Outcome::kLink, 0};
  }
  return Done(NT_SUCCESS(status) ? changes_->Mark(link.Get(), false) : status);
}

RemovalResult HeldInstallation::Finish(HANDLE directory, uint32_t held, uint32_t scheduled, bool tree) {
  // What holds only what the restart removes goes with it, after it.
  if (held > 0 && held == scheduled) {
    const RemovalResult result = changes_->ScheduleForRestart(directory);
    return result.outcome == Outcome::kAtRestart ? result : RemovalResult{Outcome::kNotEmpty, result.error};
  }
  if (held > 0) return {Outcome::kNotEmpty, ERROR_DIR_NOT_EMPTY};
  return Done(changes_->Mark(directory, tree));
}

uint32_t HeldInstallation::Empty(HANDLE directory, bool recurse, uint32_t& scheduled, RemovalListener& listener) {
  // Its own stack of held directories, one level each, so that a tree of any
  // depth is walked in memory that grows with it, never on the process's stack.
  struct Level {
    KernelHandle handle;  // of a directory below the first; the first is the caller's
    Listing listing;
    size_t length;  // of its path in relative_
    uint32_t held;
    uint32_t scheduled;
  };
  std::vector<Level> levels;
  levels.push_back({KernelHandle(), Listing(directory), relative_.size(), 0, 0});
  for (;;) {
    Level& level = levels.back();
    const ListedEntry* entry = level.listing.Next();
    if (entry != nullptr &&
        changes_->GoneBelow(level.listing.Directory(), entry->name, entry->name_bytes / sizeof(wchar_t))) {
      continue;
    }
    relative_.resize(level.length);
    if (entry == nullptr) {
      if (!NT_SUCCESS(level.listing.status)) {
        ++level.held;
        Report(listener, true, Failure(level.listing.status));
      }
      if (levels.size() == 1) break;
      const RemovalResult result = Finish(level.handle.Get(), level.held, level.scheduled, true);
      const uint32_t held = level.held;
      levels.pop_back();
      levels.back().held += Stays(result.outcome) ? 1 : 0;
      levels.back().scheduled += result.outcome == Outcome::kAtRestart ? 1 : 0;
      Report(listener, true, result, held);
      continue;
    }
    if (level.length > 0) relative_ += L'\\';
    const size_t name = relative_.size();
    relative_.append(entry->name, entry->name_bytes / sizeof(wchar_t));
    const SeenEntry seen{entry->attributes, entry->reparse_tag, entry->id.QuadPart};
    const bool is_directory = IsDirectory(seen.attributes);
    if (is_directory ? !recurse : Kept()) {
      ++level.held;
      continue;
    }
    RemovalResult result;
    if (is_directory && !IsDirectoryLink(seen)) {
      KernelHandle below;
      result = OpenChecked(level.listing.Directory(), &relative_[name], relative_.size() - name, seen,
                           kRemoveAccess | FILE_WRITE_ATTRIBUTES, below);
      if (result.outcome == kOpened) {
        const HANDLE held = below.Get();
        levels.push_back({std::move(below), Listing(held), relative_.size(), 0, 0});
        continue;
      }
    } else {
      result = is_directory ? RemoveLink(level.listing.Directory(), &relative_[name], relative_.size() - name)
                            : RemoveFile(level.listing.Directory(), name, true);
    }
    level.held += Stays(result.outcome) ? 1 : 0;
    level.scheduled += result.outcome == Outcome::kAtRestart ? 1 : 0;
    Report(listener, is_directory, result);
  }
  relative_.resize(levels.front().length);
  scheduled += levels.front().scheduled;
  return levels.front().held;
}

Outcome HeldInstallation::Remove(const std::string& relative, Removal how, RemovalListener& listener) {
  relative_ = Wide(relative);
  const bool directory = how != Removal::kFile && how != Removal::kFileClearing;
  const bool whole = how == Removal::kFiles || (how == Removal::kTree && relative.empty());
  if (!root_.Valid()) {
    Report(listener, directory, {Outcome::kFailed, root_error_});
    return Outcome::kFailed;
  }
  if (relative.empty() && !whole) return Outcome::kAbsent;
  const size_t name = whole ? relative_.size() : relative_.rfind(L'\\') + 1;
  RemovalResult result = HoldParents(whole || name == 0 ? name : name - 1);
  uint32_t held = 0;
  if (result.outcome == kOpened && whole) {
    // The directory itself stays: it is the own directory, or holds it.
    KernelHandle again;
    const NTSTATUS status = Reopen(Innermost(), again);
    if (!NT_SUCCESS(status)) return Failure(status).outcome;
    uint32_t scheduled = 0;
    return Empty(again.Get(), how == Removal::kTree, scheduled, listener) > 0 ? Outcome::kNotEmpty : Outcome::kRemoved;
  }
  if (result.outcome == kOpened && directory) {
    // A directory is looked up first: what the listing shows decides.
    SeenEntry seen;
    const NTSTATUS status = LookUp(Innermost(), &relative_[name], relative_.size() - name, seen, *changes_);
    seen.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    result = NT_SUCCESS(status) ? RemoveEntry(Innermost(), name, seen, how == Removal::kTree, held, listener)
                                : Failure(status);
  } else if (result.outcome == kOpened) {
    result = RemoveFile(Innermost(), name, how == Removal::kFileClearing);
  }
  Report(listener, directory, result, held);
  return result.outcome;
}

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
  const NTSTATUS status = NtCreateFile(
      &handle, access | SYNCHRONIZE, &object, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share, fresh ? kCreate : kOpenOrCreate,
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
  if (path.empty() || NamesDrive(path)) return false;
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
