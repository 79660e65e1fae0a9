// The file system by full path: the listings and looks that every part of
// the run shares, and the removals of entries that lie outside the
// installation by design. The installation itself is removed through
// HeldInstallation.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/owners_win32.h"
#include "platform/run_platform.h"
#include "removal/entry_changes_win32.h"
#include "removal/held_installation_win32.h"

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
