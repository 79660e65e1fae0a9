// Starts a program, or opens a document through the shell's "Open", and waits
// for its end.
#pragma once

#include <string>

#include "external/program_runner.h"
#include "platform/run_platform.h"

ProgramOutcome RunProgramAndWait(const std::string& program, const std::string& parameters,
                                 const std::string& working_directory);

// The same program started once more through the system's elevation prompt
// (consent or credentials, on the secure desktop); not started when the user
// declined it.
ProgramOutcome RunElevatedAndWait(const std::string& program, const std::string& parameters,
                                  const std::string& working_directory);
