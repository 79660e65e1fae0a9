// Starts a program, or opens a document through the shell's "Open", and waits
// for its end.
#pragma once

#include <string>

#include "external/program_runner.h"
#include "platform/run_platform.h"

// The rule says how long the wait lasts, and whether the shell may open
// what is no program.
ProgramOutcome RunProgramAndWait(const std::string& program, const std::string& parameters,
                                 const std::string& working_directory, const WaitRule& rule = WaitRule());

// A folder window of the system's own Explorer, started by its path and not
// waited for: no verb is resolved through anybody's classes.
bool OpenFolderWindow(const std::string& folder);

// The same program started once more through the system's elevation prompt
// (consent or credentials, on the secure desktop); not started when the user
// declined it.
ProgramOutcome RunElevatedAndWait(const std::string& program, const std::string& parameters,
                                  const std::string& working_directory);
