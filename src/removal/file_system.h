// File-system primitives of the removal.
#pragma once

#include <string>

// True only for an existing file: false for a directory, a drive, a network
// share or a missing entry. Wildcards in the last component match as in a search.
bool FileExists(const std::string& path);

// "C:" or "C:\" and the like: a path that names a whole drive.
bool NamesDrive(const std::string& path);

std::string WithoutTrailingBackslashes(const std::string& path);
