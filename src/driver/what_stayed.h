// What stayed of the installation, and why: noted as the removal reports
// each entry, completed by the user's entries in the folders that stayed,
// and told as the lines of the Details window and of the log.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "driver/uninstall_sequence.h"
#include "platform/run_platform.h"

// An entry the removal reported that stays: once for each path, however
// often the file names it.
void NoteStayed(UninstallRun& run, const EntryReport& report);

// The files the setup listed that delete-all left, which reads no [Files]
// value: the setup's, never the user's.
void NoteListedFilesDeleteAllLeft(UninstallRun& run, const RunPlatform& platform,
                                  const std::vector<std::string>& listed);

// Each directory that stayed, named for the user's entries it holds as it
// stands once the removal is done; the own directory last, when the removal
// succeeded.
void NameWhatDirectoriesHold(UninstallRun& run, const RunPlatform& platform);

// The lines the window's list of what stayed shows, beyond which it counts.
constexpr size_t kMostListed = 300;

// What stayed of the installation, a line an item: its path and why, in the
// texts' words; beyond the first most lines, how many more; the last line
// ends in line_end.
std::string StayedText(const UninstallRun& run, const UiTexts& texts, const char* line_end, size_t most = kMostListed);
