// Removal of the installed program's files: the listed ones, or everything in
// the own directory. Both read uninstall.dat afresh and close it before returning.
#pragma once

#include "driver/run_platform.h"
#include "driver/settings.h"

// The pattern that matches every entry of a directory, names without a dot included.
constexpr char kAllEntries[] = "*.*";

// Deletes each [Files] entry, then each [Dirs] entry that is empty when reached.
// True if at least one file was deleted.
bool RemoveListedFiles(const UninstallSettings& settings, RunPlatform& platform);

// Purges each [Dirs] tree, then every file directly in the own directory. A
// [Dirs] value that climbs out of the own directory is passed over: whole
// trees are purged only inside it. True if the program's executable was there.
bool RemoveAllFiles(const UninstallSettings& settings, RunPlatform& platform);

// True if a relative path has a component that leads to a parent directory.
bool LeavesTheDirectory(const std::string& relative);
