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
};

// What the program is started with once more, elevated: the arguments after
// its own name exactly as they were given, and the switch that tells it so.
std::string ElevatedArguments(const std::string& command_line);

// The arguments after the program's own name, split as the platform's C
// runtime splits them: blanks and tabs separate, double quotes group (also
// in mid-argument), 2n backslashes before a quote give n and the quote
// counts, 2n+1 give n and a literal quote.
std::vector<std::string> SplitArguments(const std::string& command_line);

// Switches begin with "/" or "-" and are read without regard to case.
CommandLine ParseCommandLine(const std::string& command_line);

// What the fixed box for a command line that is not understood says.
constexpr char kCommandLineHelp[] =
    "Usage: uninstall.exe [/S] [/PLAN] [/LOG[=path]]\n"
    "/S, /SILENT, /VERYSILENT  uninstall without a window, keeping user files\n"
    "/PLAN  log what /S would do, changing nothing\n"
    "/LOG[=path]  log what is done (by default in the temporary directory)";

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
