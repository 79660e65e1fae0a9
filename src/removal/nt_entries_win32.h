// The native API as the removal uses it: listings of held directories,
// opens relative to them, identities, marks for deletion, and what became
// of each call. Shared by the walk (held_installation_win32), the two sets
// of changes (entry_changes_win32) and the removals by path
// (file_system_win32); nothing outside removal/ needs it.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/owners_win32.h"
#include "platform/run_platform.h"
#include "removal/change_log.h"
#include "removal/entry_changes_win32.h"

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

// What became of a call, by the native API's status.
RemovalResult Failure(NTSTATUS status);
RemovalResult Done(NTSTATUS status);
// An entry that vanished while the walk listed it holds its directory no more.
bool Stays(Outcome outcome);

bool IsDirectory(ULONG attributes);
bool IsReparsePoint(ULONG attributes);
bool LeadsElsewhere(const SeenEntry& seen);
bool IsDirectoryLink(const SeenEntry& seen);

// Opens a name (none: the directory itself once more) relative to a held
// directory, the link itself rather than what it points to where the
// platform allows it.
NTSTATUS OpenBelow(HANDLE parent, const wchar_t* name, size_t length, ACCESS_MASK access, ULONG share, ULONG options,
                   KernelHandle& opened);
NTSTATUS Reopen(HANDLE directory, KernelHandle& again);
// The entry a handle holds; a reparse point's tag where the platform tells
// it (none: taken for a link).
bool IdentityOf(HANDLE handle, SeenEntry& seen);
// The entry of that name in a held directory, as a listing shows it; one
// removed already is gone.
NTSTATUS LookUp(HANDLE parent, const wchar_t* name, size_t length, SeenEntry& seen, EntryChanges& changes);
// Opens a directory that a listing showed and checks that the handle holds
// that very directory: a link put in its place since (or, where the
// platform cannot open a link itself, followed) shows another identity.
RemovalResult OpenChecked(HANDLE parent, const wchar_t* name, size_t length, const SeenEntry& listed,
                          ACCESS_MASK access, KernelHandle& opened);
NTSTATUS MarkForDeletion(HANDLE handle);
NTSTATUS SetAttributes(HANDLE handle, ULONG attributes);
// The name the restart list gives an open entry: its volume's own name and
// its path there, as the handle holds them.
std::wstring RestartName(HANDLE handle);
std::wstring Wide(const std::string& text);
// A directory opened by its full path, following links as the platform does.
KernelHandle OpenDirectoryAt(const std::string& path, ACCESS_MASK access);
// The entry a full path names: itself, not what a link at its end points to.
KernelHandle OpenEntryAt(const std::string& full, ACCESS_MASK access);
// A name the system gives, appended as the program's text; a letter it
// cannot hold exactly shows as the default character.
void AppendNarrow(std::string& text, const std::wstring& wide);
// The entries a directory holds; scheduled: those that are files this
// process left to the restart.
uint32_t CountEntries(HANDLE directory, NTSTATUS& status, uint32_t& scheduled, EntryChanges& changes);
// What names the open entry alone: its 128-bit id where the system gives
// one, its 64-bit index before Windows 8, its final path where the volume
// gives no usable id.
FileIdentity FullIdentityOf(HANDLE handle);
// A file in use: renamed beside itself and left to the restart where the
// rights allow it; otherwise it takes its name back and stays.
RemovalResult LeaveToRestart(HANDLE file, HANDLE directory, const std::wstring& name, EntryChanges& changes);
