// File-system primitives of the removal by full path. A path longer than the
// platform's limit is never cut to fit: it is refused, so it is passed over.
#pragma once

#include <string>

#include "text/text.h"

// True only for an existing file: false for a directory, a drive, a network
// share or a missing entry. Wildcards in the last component match as in a search.
bool FileExists(const std::string& path);

// "C:" or "C:\" and the like: a path that names a whole drive.
bool NamesDrive(const std::string& path);
