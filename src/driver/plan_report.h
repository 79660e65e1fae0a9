// The end of a plan, after the run's own order has been told: what
// delete-all would remove besides and what it would keep, what no plan can
// see without trying, and the notes for the installer's author.
#pragma once

#include "driver/uninstall_sequence.h"
#include "platform/run_platform.h"

// Each on a line of its own.
void TellTheRestOfThePlan(UninstallRun& run, const RunPlatform& platform);
