// An in-memory stand-in for the platform's file reading, so that the settings
// reader and everything built on it run by path on Linux.
#pragma once

#include <string>

#include "platform/run_platform.h"

// Reads the staged files.
FileReader& StagedFiles();

void StageFile(const std::string& path, const std::string& bytes);
void ClearStagedFiles();
// Drops every staged file whose path begins with directory, as a purge would.
void RemoveStagedFilesUnder(const std::string& directory);
bool StagedFileExists(const std::string& path);
// True when there was one to drop.
bool RemoveStagedFile(const std::string& path);
// How many files SettingsFile holds open right now.
int HeldFileCount();
