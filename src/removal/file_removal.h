// Removal of the installed program's files: the listed ones, or everything in
// the own directory. Both read uninstall.dat afresh and close it before returning.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/run_platform.h"
#include "settings/settings.h"

// The pattern that matches every entry of a directory, names without a dot included.
constexpr char kAllEntries[] = "*.*";

// Both modes take only what lies inside the own directory: a [Files] or
// [Dirs] value that climbs out of it, or reaches or passes through a
// directory link below it, is passed over; a [Dirs] value that is a link
// loses the link, never what it points to. Links above the own directory are
// followed as the platform follows them. Every entry acted on, and every
// value passed over, is told to the listener. The uninstaller's own file and
// uninstall.dat are left to the final clean-up.

// Deletes each [Files] entry, then each [Dirs] entry that is empty when reached.
// The program's executable goes last of the files, so that a run that is cut
// short leaves it, and running the uninstaller again finishes the removal.
// True if at least one file was deleted.
bool RemoveListedFiles(const UninstallSettings& settings, const RunPlatform& platform, RemovalListener& listener);

// Purges each [Dirs] tree, then every file directly in the own directory.
// The program's executable and then uninstall.dat go last, so that a run
// that is cut short can be run again to the end. True if the program's
// executable was there.
bool RemoveAllFiles(const UninstallSettings& settings, const RunPlatform& platform, RemovalListener& listener);

// What Ready deletes: each value, a file below the own directory, by the
// rule of [Files]; read-only ones stay.
void RemoveReadyFiles(const UninstallSettings& settings, const std::vector<std::string>& values,
                      const RunPlatform& platform, RemovalListener& listener);

// True where delete-all could only do harm, so that it is not offered: the own
// directory is a drive root, a share root ("\\server\share\"), one of the
// shell's folders (the user's documents, the profile, Windows, Program
// Files...), or lies above one of them: the same entry by identity, however
// it is spelled, or by name as the system compares names where either
// cannot be opened.
bool DeleteAllWouldHarm(const std::string& own_directory, RunSystem& system);

// The path of a [Files] or [Dirs] value below the own directory, its parts
// joined by single backslashes, as the platform will resolve it: separators
// of either kind and any number, and "." parts, drop out. False for a value
// whose meaning depends on the platform's trimming or could leave the
// directory: a part ending in a dot or a blank ("..", "...", "x. "),
// wildcards, a drive or stream colon, or characters no name may hold.
bool RelativePathBelow(const std::string& value, std::string& relative);

// The order mistakes of [Files] and [Dirs] that a plan notes and the
// author's checker finds. paths: the values' paths below the own directory
// in capitals, "" for one that is none.
// Pairs (i, j): the [Dirs] value i comes before the value j that lies inside
// it, so that i is never empty when its turn comes; by j, then i.
std::vector<std::pair<size_t, size_t>> DirsBeforeOneInside(const std::vector<std::string>& paths);
// Whether one of the [Files] paths is the program's file.
bool FilesNameTheProgram(const std::vector<std::string>& paths, const std::string& prog_exe);
