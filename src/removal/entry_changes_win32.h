// What the removal changes on the disk: the one seam between a run and a
// plan, with the system's changes and a plan's.
#pragma once

#include <windows.h>

#include <string>

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
