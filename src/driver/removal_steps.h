// What the confirmation window's buttons do: the removal steps in their fixed
// order (OK), the final clean-up (Ready) and the end (Cancel).
#pragma once

#include <string>
#include <vector>

#include "driver/uninstall_sequence.h"
#include "platform/run_platform.h"

// Handles an activated control; true when the event loop must end.
bool HandleControl(UninstallRun& run, const RunPlatform& platform, int control);

// OK: every removal step, the failure box when the directory step failed, and
// the completion text.
void RunRemoval(UninstallRun& run, const RunPlatform& platform);

// Ready: the uninstaller's own files, then the batch that removes the rest.
void RunFinalCleanup(UninstallRun& run, const RunPlatform& platform);

// What Ready deletes itself, as values below the own directory, before the
// batch takes the program's own file.
std::vector<std::string> ValuesReadyTakes(const UninstallSettings& settings);
