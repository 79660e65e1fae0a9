// The command line of an administrator's run. Without one, the program runs
// as it always has, for the user, with exit code 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CommandLine {
  bool valid = true;        // false for anything that is no known switch
  bool unattended = false;  // /S, /SILENT or /VERYSILENT
  bool log = false;         // /LOG or /LOG=path
  std::string log_path;     // empty: a name of its own in the temporary directory
  bool plan = false;        // /PLAN: an unattended run told in its log, changing nothing
  bool elevated = false;    // /ELEVATED: started by the system's elevation prompt; never asks again
  // /TIMEOUT=seconds: how long an unattended run waits for a program or a
  // script (0: no limit of its own; a script stops at the script control's
  // 20 seconds all the same). The run keeps this name down to its log.
  uint32_t timeout_seconds = 900;
};

// What the program is started with once more, elevated: first the switch
// that tells it so, then the switches it was given, each quoted where it
// needs it, the log by its full path (empty: a log of its own).
std::string ElevatedArguments(const CommandLine& line, const std::string& full_log_path);

// An argument as the C runtime splits it back: quoted when it holds a blank,
// a tab or a quote, backslashes before a quote doubled.
std::string QuotedArgument(const std::string& argument);

// The arguments after the program's own name, split as the platform's C
// runtime splits them: blanks and tabs separate, double quotes group (also
// in mid-argument), 2n backslashes before a quote give n and the quote
// counts, 2n+1 give n and a literal quote.
std::vector<std::string> SplitArguments(const std::string& command_line);

// Switches begin with "/" or "-" and are read without regard to case.
CommandLine ParseCommandLine(const std::string& command_line);

// How a run ended, and the exit code that tells it in an unattended run: the
// codes deployment tools know from the platform's installer. An interactive
// run always ends with 0, as the callers it has always had expect.
enum class RunResult : uint32_t {
  kRemoved = 0,
  kNeedsAdministrator = 740,
  kVetoed = 1602,
  kFailed = 1603,
  kNoSettings = 1605,
  kRunning = 1618,
  kLogNotWritable = 1622,
  kInvalidCommandLine = 1639,
  kRestartNeeded = 3010,  // removed, but files in use go only at the next restart
};
uint32_t ExitCodeFor(RunResult result, bool unattended);
