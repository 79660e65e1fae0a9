// Directory links for tests. Wine cannot create them itself, so the link is
// made on the Linux side, where Wine then reports it as a reparse point.
#pragma once

#include <string>

// Creates link as a symbolic link to the directory target; true on success.
bool MakeDirectoryLink(const std::string& target, const std::string& link);
// Removes such a link from the Linux side, which Wine's own calls cannot do.
void RemoveDirectoryLink(const std::string& link);

// Creates a directory or file with a path beyond the ANSI functions' limit.
bool MakeLongDirectory(const std::string& path);
bool MakeLongFile(const std::string& path);
bool LongPathExists(const std::string& path);
// Deletes one such file or empty directory.
void RemoveLongPath(const std::string& path);
