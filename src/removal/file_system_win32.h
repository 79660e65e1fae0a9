// The installation's entries, removed only from the own directory down
// through directories held open without delete sharing: while the removal
// works in a directory, nobody can rename it or any directory above it up to
// the own directory, or put a link in its place. Each entry is opened by its
// name relative to its held parent, without following a link where the
// platform allows it, checked to be what the listing showed, and deleted
// through that handle. Names are the ones the platform holds, of any length
// and outside the ANSI code page too.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/owners_win32.h"
#include "platform/run_platform.h"
#include "removal/file_system.h"

// What a listing shows of an entry.
struct SeenEntry {
  ULONG attributes;
  ULONG tag;  // for a reparse point, its kind
  LONGLONG id;
};

// What the removal changes on the disk, and all it changes: the one seam
// between a run and a plan. A run's changes are the system's; a plan's only
// remember what would go, so that its later looks see that entry as gone.
// Statuses are the native API's (NTSTATUS, a LONG).
class EntryChanges {
 public:
  // Opens a file below a held directory so that it goes when the handle
  // closes; a read-only one or one in use is refused.
  virtual LONG OpenFileToDelete(HANDLE directory, const wchar_t* name, size_t length, KernelHandle& file) = 0;
  // Marks an open entry for deletion, clearing its read-only attribute where
  // allowed; a directory goes only when it is empty.
  virtual LONG Mark(HANDLE handle, bool clear_attributes) = 0;
  // Renames an open file to a name in the held directory, never over another.
  virtual LONG Rename(HANDLE file, HANDLE directory, const wchar_t* name, size_t length) = 0;
  // Leaves an open entry to the restart.
  virtual RemovalResult ScheduleForRestart(HANDLE handle) = 0;
  // Whether an entry that is still there was removed already: by its
  // handle, by its name below a directory, by its full path.
  virtual bool Gone(HANDLE handle) = 0;
  virtual bool GoneBelow(HANDLE directory, const wchar_t* name, size_t length) = 0;
  virtual bool GoneAt(const std::string& path) = 0;

 protected:
  ~EntryChanges() = default;
};

// The system's own changes: what is removed is gone.
class SystemChanges final : public EntryChanges {
 public:
  LONG OpenFileToDelete(HANDLE directory, const wchar_t* name, size_t length, KernelHandle& file) override;
  LONG Mark(HANDLE handle, bool clear_attributes) override;
  LONG Rename(HANDLE file, HANDLE directory, const wchar_t* name, size_t length) override;
  RemovalResult ScheduleForRestart(HANDLE handle) override;
  bool Gone(HANDLE) override { return false; }
  bool GoneBelow(HANDLE, const wchar_t*, size_t) override { return false; }
  bool GoneAt(const std::string&) override { return false; }
};

// A plan's changes: nothing changes; each entry is opened as its removal
// would open it, and what would go is remembered by its identity. Nothing is
// renamed or left to the restart: a file the system refuses to delete stays.
class PlannedChanges final : public EntryChanges {
 public:
  LONG OpenFileToDelete(HANDLE directory, const wchar_t* name, size_t length, KernelHandle& file) override;
  LONG Mark(HANDLE handle, bool clear_attributes) override;
  LONG Rename(HANDLE, HANDLE, const wchar_t*, size_t) override;
  RemovalResult ScheduleForRestart(HANDLE) override { return {Outcome::kInUse, 0}; }
  bool Gone(HANDLE handle) override;
  bool GoneBelow(HANDLE directory, const wchar_t* name, size_t length) override;
  bool GoneAt(const std::string& path) override;
  void Remember() { remembered_ = removals_; }
  void BackToRemembered() { removals_ = remembered_; }

 private:
  // The entry an open handle holds, as the plan remembers it.
  static PlannedEntry EntryOf(HANDLE handle, bool directory);
  PlannedRemovals removals_;
  PlannedRemovals remembered_;
};

class HeldInstallation {
 public:
  // Holds the own directory itself; links above it are followed as the
  // platform follows them. kept: files below it, by relative path, that
  // kTree and kFiles leave.
  bool Hold(const std::string& own_directory, const std::vector<std::string>& kept);
  // The entry at that path below the own directory.
  Outcome Remove(const std::string& relative, Removal how, RemovalListener& listener);
  // Lets every held directory go.
  void Release();
  // The changes the removal makes from now on, and that every look by full
  // path shares.
  void UseChanges(EntryChanges& changes) { changes_ = &changes; }
  EntryChanges& Changes() const { return *changes_; }

 private:
  struct Held {
    KernelHandle handle;
    size_t end;  // where its name ends in the relative path
  };

  // Holds the directories of the relative path before parents_end (and
  // lets the others go); the outcome that stops it otherwise.
  RemovalResult HoldParents(size_t parents_end);
  HANDLE Innermost() const { return chain_.empty() ? root_.Get() : chain_.back().handle.Get(); }
  // The entry named by the relative path from `name` on, in directory.
  RemovalResult RemoveFile(HANDLE directory, size_t name, bool clear_attributes);
  // A listed entry: a file, a link (which loses only itself) or a directory
  // (the whole tree, or only when it is empty).
  RemovalResult RemoveEntry(HANDLE parent, size_t name, const SeenEntry& seen, bool tree, uint32_t& held,
                            RemovalListener& listener);
  RemovalResult RemoveLink(HANDLE parent, const wchar_t* name, size_t length);
  // A directory emptied as far as it goes (held: the entries it still holds,
  // scheduled: those of them the restart removes).
  RemovalResult Finish(HANDLE directory, uint32_t held, uint32_t scheduled, bool tree);
  // Removes what the directory holds (its files only, unless recurse); the
  // number of entries that stay, and of those, the ones the restart removes.
  uint32_t Empty(HANDLE directory, bool recurse, uint32_t& scheduled, RemovalListener& listener);
  bool Kept() const;
  void Report(RemovalListener& listener, bool directory, RemovalResult result, uint32_t held = 0) const;

  std::string own_;
  KernelHandle root_;
  uint32_t root_error_ = 0;
  std::vector<Held> chain_;
  std::wstring chain_path_;  // the relative path the chain was held for
  std::wstring kept_;        // relative paths, each followed by a "|"
  std::wstring relative_;    // of the entry at hand
  SystemChanges system_changes_;
  EntryChanges* changes_ = &system_changes_;
};

// The entries the directory holds that are not gone.
std::vector<HeldEntry> EntriesOf(const std::string& directory, EntryChanges& changes);

// True only for an existing file that is not gone: false for a directory, a
// drive, a network share or a missing entry. Wildcards in the last component
// match as in a search, and the first entry they match answers.
bool FileExists(const std::string& path, EntryChanges& changes);

// Creates a file by its name alone in a held directory, or opens it where
// it stands and fresh is false: itself where it is a link, never a
// directory. Statuses are the native API's.
LONG CreateFileBelow(HANDLE directory, const std::wstring& name, ACCESS_MASK access, ULONG share, bool fresh,
                     SECURITY_ATTRIBUTES* rights, KernelHandle& file);

// Leaves the entry a full path names, itself and not what a link there
// points to, to the next restart, by its volume's own name; false where the
// rights or the system do not allow it.
bool ScheduleRemovalAtRestart(const std::string& full_path);

// The identity of the entry a path names, links followed as the platform
// follows them; false when it cannot be opened.
bool IdentityAt(const std::string& path, FileIdentity& identity);

// Whether the handle's final path is the full path, letters of either case
// alike: no link on the way led elsewhere.
bool HandleIsAt(HANDLE handle, const std::string& full_path);

// A file, or a directory only when it is empty, by its full path: the
// start-menu and desktop links, the start-menu folder, the files of user
// tasks, which lie outside the installation by design. The entry is opened
// without following a link at its end and removed through that handle, and
// only when the handle's final path is the path named, so that a link on
// the way redirects nothing (kThroughLink). A read-only file stays.
RemovalResult RemoveAbsolute(const std::string& path, bool directory, EntryChanges& changes);
