// File-system primitives of the removal. A path longer than the platform's
// limit is never cut to fit: the platform refuses it, so it is passed over.
#pragma once

#include <string>

#include "text/text.h"

// True only for an existing file: false for a directory, a drive, a network
// share or a missing entry. Wildcards in the last component match as in a search.
bool FileExists(const std::string& path);

// True if the directory can be listed and holds nothing but "." and "..".
bool IsDirectoryEmpty(const std::string& directory);

// Deletes the entries matching pattern (empty: "*.*"), recursing into matching
// subdirectories when asked, then removes the directory itself. Clearing
// attributes first lets read-only, hidden and system files go too. True if the
// directory itself was removed. A directory link is never followed.
bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive, bool clear_attributes);

// "C:" or "C:\" and the like: a path that names a whole drive.
bool NamesDrive(const std::string& path);

// "." and "..", which a directory listing reports but which are not entries.
bool IsDotEntry(const std::string& name);
