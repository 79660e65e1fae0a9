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

// What became of an entry, with the platform's error number behind it.
struct RemovalResult {
  Outcome outcome;
  uint32_t error;
};

// What a listing shows of an entry.
struct SeenEntry {
  ULONG attributes;
  ULONG tag;  // for a reparse point, its kind
  LONGLONG id;
  ULONG volume = 0;  // its volume's serial number, where a handle told it
};

// An entry by its volume and its file index, which name it alone on that
// volume whatever path leads to it.
struct FileIdentity {
  ULONG volume;
  LONGLONG id;
  bool operator<(const FileIdentity& other) const {
    return volume != other.volume ? volume < other.volume : id < other.id;
  }
  bool operator==(const FileIdentity& other) const { return volume == other.volume && id == other.id; }
};

// What a plan would have removed so far, by the entries' identities: the
// later steps of the plan list and count them as gone.
class PlannedRemovals {
 public:
  void Add(const FileIdentity& entry);
  bool Has(const FileIdentity& entry) const;

 private:
  std::vector<FileIdentity> entries_;  // in order, each once
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
  // From now on nothing is removed: each entry is opened and listed as its
  // removal would, and what would go is added to plan.
  void LookOnly(PlannedRemovals* plan) { plan_ = plan; }

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
  // A file in use, which cannot be deleted, is renamed beside itself and its
  // new name removed at the next restart, where the rights allow it.
  RemovalResult LeaveToRestart(HANDLE file, HANDLE directory, size_t name);
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
  // Marks the open entry for deletion (clearing its read-only attribute where
  // allowed), or, looking only, adds it to the plan where it would be marked;
  // the system's status.
  LONG Mark(HANDLE handle, bool clear_attributes);
  bool Kept() const;
  void Report(RemovalListener& listener, bool directory, RemovalResult result, uint32_t held = 0) const;

  std::string own_;
  KernelHandle root_;
  uint32_t root_error_ = 0;
  std::vector<Held> chain_;
  std::wstring chain_path_;  // the relative path the chain was held for
  std::wstring kept_;        // relative paths, each followed by a "|"
  std::wstring relative_;    // of the entry at hand
  PlannedRemovals* plan_ = nullptr;
};

// A file, or a directory only when it is empty, by its full path: the
// start-menu and desktop links, the start-menu folder, the files of user
// tasks, which lie outside the installation by design. The entry is opened
// without following a link at its end and removed through that handle, and
// only when the handle's final path is the path named, so that a link on
// the way redirects nothing (kThroughLink). A read-only file stays.
// The names of the entries the directory holds, a directory's with a
// backslash at its end; with a plan, less what it would remove.
std::vector<std::string> EntriesOf(const std::string& directory, PlannedRemovals* plan = nullptr);

// Whether the handle's final path is the full path, letters of either case
// alike: no link on the way led elsewhere.
bool HandleIsAt(HANDLE handle, const std::string& full_path);

// With a plan, nothing is removed: what would go is added to it.
Outcome RemoveAbsolute(const std::string& path, bool directory, PlannedRemovals* plan = nullptr);
