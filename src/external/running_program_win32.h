// The platform's view of running programs: named mutexes and the process list.
#pragma once

#include <string>
#include <vector>

bool MutexInUse(const std::string& name);

// The executable file names of all running processes; empty when the process
// list cannot be read.
std::vector<std::string> RunningExecutables();
