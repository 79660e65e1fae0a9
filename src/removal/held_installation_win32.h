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
#include "removal/entry_changes_win32.h"

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
