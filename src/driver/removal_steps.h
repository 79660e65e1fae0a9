// What the confirmation window's buttons do: the removal steps in their fixed
// order (OK), the final clean-up (Ready) and the end (Cancel).
#pragma once

#include "driver/uninstall_sequence.h"
#include "platform/run_platform.h"

// The keys of [StartMenu], each the full path of a link the removal takes.

// Handles an activated control; true when the event loop must end.
bool HandleControl(UninstallRun& run, const RunPlatform& platform, int control);

// OK: every removal step, the failure box when the directory step failed, and
// the completion text.
void RunRemoval(UninstallRun& run, const RunPlatform& platform);

// Ready: the uninstaller's own files, then the batch that removes the rest.
void RunFinalCleanup(UninstallRun& run, const RunPlatform& platform);

// The end of a plan: what delete-all would remove besides, the user's
// entries by name, and the notes for the author, each on a line of its own.
void TellTheRestOfThePlan(UninstallRun& run, const RunPlatform& platform);

// The lines the window's list of what stayed shows, beyond which it counts.
constexpr size_t kMostListed = 300;

// What stayed of the installation, a line an item: its path and why, in the
// texts' words; beyond the first most lines, how many more; the last line
// ends in line_end.
std::string StayedText(const UninstallRun& run, const UiTexts& texts, const char* line_end, size_t most = kMostListed);
