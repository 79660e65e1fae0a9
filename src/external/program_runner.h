// Starts a program or opens a document, waits for its end and reads its exit
// code. The command line and the shell's directory are decided here.
#pragma once

#include <cstdint>
#include <string>

#include "platform/run_platform.h"

// The program path in double quotes (unless it already begins with one), then
// one blank and the parameters unchanged, when there are any.
std::string CommandLineFor(const std::string& program, const std::string& parameters);

// The programs a run starts and waits for.
enum class ProgramKind : uint8_t { kBeforeUninstall, kAfterUninstall, kLibrary, kScript };

// How a run waits for a kind of program. An unattended run waits no longer
// than its limit (seconds; 0: no limit) and opens nothing through the shell;
// the user's run waits as long as it takes, and an elevated one never opens
// a hook through the shell, which would resolve it through the user's own
// classes.
struct WaitPolicy {
  WaitRule rule;
  // A program still running at the limit ends the run before anything is
  // removed; for the others the run goes on, its exit code a failure's.
  bool outliving_ends_the_run;
};
WaitPolicy WaitPolicyFor(ProgramKind kind, bool unattended, uint32_t limit_seconds, bool elevated);

// The folder as Explorer's argument: quoted, without the trailing backslash
// that would escape the closing quote; a drive's root bare ("C:\\").
std::string ExplorerFolderParameter(const std::string& folder);

// The directory for the shell's "Open": the working directory, or else the
// program's own directory up to its last backslash, unless that backslash is
// the path's first character.
std::string ShellDirectoryFor(const std::string& program, const std::string& working_directory);
