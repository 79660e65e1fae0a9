// Whether the installed program is running: by its mutex, or else by the file
// name of its executable among the running processes.
#pragma once

#include <string>

#include "platform/run_platform.h"

// Whether a wanted name can match a process at all: one with a directory
// never does.
bool ProcessNameCanMatch(const std::string& wanted);
// True when the process entry's file part is the wanted name, as the file
// system tells names apart. A wanted name with a directory never matches.
bool ProcessNameMatches(const std::string& wanted, const std::string& process_entry, RunSystem& system);

// The warning's text: each "|" of the Mutex text becomes a line feed.
std::string RunningProgramMessage(const std::string& mutex_text);
