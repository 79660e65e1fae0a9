// File-system primitives of the removal. A path longer than the platform's
// limit is never cut to fit: it is refused, so it is passed over. Directories
// are listed and emptied by the names the platform really holds, also those
// the ANSI code page cannot spell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/run_platform.h"
#include "text/text.h"

// True only for an existing file: false for a directory, a drive, a network
// share or a missing entry. Wildcards in the last component match as in a search.
bool FileExists(const std::string& path);

// True if the directory can be listed and holds nothing but "." and "..".
bool IsDirectoryEmpty(const std::string& directory);

// Deletes the entries matching pattern (empty: "*.*"), recursing into matching
// subdirectories when asked, then removes the directory itself. Clearing
// attributes lets read-only files and directories go too: only where the
// deletion was refused for them, and what still stays keeps them. True if the
// directory itself was removed. The directory is the one the platform resolves
// the path to (the caller decides about links on its way); a directory link
// met inside goes as a link, and what it points to is never entered. Files
// named in kept (paths as the platform resolves them) stay.
// Told of each file and directory a purge deletes or tries to, with the
// platform's error number (0: removed).
struct PurgeReport {
  void (*entry)(void* context, const std::string& path, bool directory, uint32_t error);
  void* context;
};

bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive, bool clear_attributes,
                    KeptFiles kept = {}, const PurgeReport* report = nullptr);

// A junction or directory symbolic link: the entry the path names, not what
// it points to.
bool IsDirectoryLink(const std::string& path);

// Removes the link, never what it points to. A link whose target is empty
// stays: a platform that resolves links on removal would take the target.
bool RemoveDirectoryLink(const std::string& link);

// "C:" or "C:\" and the like: a path that names a whole drive.
bool NamesDrive(const std::string& path);
