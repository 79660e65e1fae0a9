// Starts a program or opens a document, waits for its end and reads its exit
// code. The command line and the shell's directory are decided here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/run_platform.h"

// The program path in double quotes (unless it already begins with one), then
// one blank and the parameters unchanged, when there are any.
std::string CommandLineFor(const std::string& program, const std::string& parameters);

// The programs a command line may start, in the order the platform tries
// them: a quoted one up to its closing quote; unquoted, the text up to each
// blank in turn and then the whole first part, as CreateProcess searches
// ("C:\Program Files\a b\x.exe %1" tries "C:\Program", then
// "C:\Program Files\a", ...). The first that names an existing file is the
// program, with ".exe" added where it names no extension; where none
// exists, only a single candidate names it. Empty for a command that names
// no program.
std::vector<std::string> CommandProgramCandidates(const std::string& command);
// The program a command line starts, as the platform finds it (full where
// the command names it so), and the arguments after it; no program where
// none can be told.
struct StartedCommand {
  std::string program;
  std::string arguments;
};
StartedCommand ProgramOfCommand(const std::string& command, RunFiles& files);

// The programs a run starts and waits for.
enum class ProgramKind : uint8_t { kBeforeUninstall, kAfterUninstall, kLibrary, kScript };

// How a run waits for a kind of program. An unattended run waits no longer
// than /TIMEOUT (seconds; 0: no limit); the user's run waits as long as it
// takes. A script is bounded by the script host as well (ScriptHost). A hook that is a document is opened in every
// mode: through the shell where the run is not elevated, and in an elevated run by the machine's classes alone, never
// the user's own (HKCU\Software\Classes), which would have the administrator's process start what the user chose.
struct WaitPolicy {
  WaitRule rule;
  // A program still running at the timeout ends the run before anything is
  // removed; for the others the run goes on, its exit code a failure's.
  bool outliving_ends_the_run;
};
// The before- and after-uninstall programs: the author's hooks.
bool IsHook(ProgramKind kind);
WaitPolicy WaitPolicyFor(ProgramKind kind, bool unattended, uint32_t timeout_seconds, bool elevated);

// The command line the machine's class for a document's type would run: its
// open command with "%1" and "%L" the document's path and "%*" the
// parameters; the path quoted at its end where the command names it
// nowhere, and the parameters after it where it has no place for them.
std::string DocumentCommand(const std::string& open_command, const std::string& document,
                            const std::string& parameters);

// Whether the platform starts the file as a program rather than open it as a
// document, by its type: what a plan, which starts nothing, goes by.
bool NamesAProgram(const std::string& path);

// The folder as Explorer's argument: quoted, without the trailing backslash
// that would escape the closing quote; a drive's root bare ("C:\\").
std::string ExplorerFolderParameter(const std::string& folder);

// The directory for the shell's "Open": the working directory, or else the
// program's own directory up to its last backslash, unless that backslash is
// the path's first character.
std::string ShellDirectoryFor(const std::string& program, const std::string& working_directory);
