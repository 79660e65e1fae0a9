// Paths for tests that Wine's ANSI calls cannot make. Directory links and
// access rights are made on the Linux side, where Wine then reports a link as
// a reparse point and obeys the permissions.
#pragma once

#include <string>

// Creates link as a symbolic link to the directory target; true on success.
bool MakeDirectoryLink(const std::string& target, const std::string& link);
// Removes such a link from the Linux side, which Wine's own calls cannot do;
// anything that is not a link stays.
void RemoveLinuxLink(const std::string& link);

// Makes the drive letter name the directory, for as long as the prefix lives
// or until it is unmapped.
bool MapDrive(char letter, const std::string& directory);
void UnmapDrive(char letter);

// Creates count empty files f1.dat, f2.dat... in the directory at once, as
// Wine would take a while for each of thousands.
bool MakeManyFiles(const std::string& directory, int count);

// Creates a directory or file with a path beyond the ANSI functions' limit.
bool MakeLongDirectory(const std::string& path);
bool MakeLongFile(const std::string& path);
bool LongPathExists(const std::string& path);
// Deletes one such file or empty directory.
void RemoveLongPath(const std::string& path);

// Sets a directory's Linux permission bits ("000": no access at all, "755":
// the usual ones); true once they have taken effect.
bool SetDirectoryMode(const std::string& directory, const std::string& mode);
