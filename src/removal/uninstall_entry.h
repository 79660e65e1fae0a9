// The program's entry in the platform's list of installed programs.
#pragma once

#include <string>

#include "platform/run_platform.h"

// Removes the entry's known values one by one, then the key with whatever else
// it holds. An empty name does nothing.
void RemoveUninstallEntry(const std::string& registration_name, const RunPlatform& platform);
