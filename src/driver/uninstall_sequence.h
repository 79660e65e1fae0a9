// The run from start to exit: start-up, the confirmation, the removal steps
// and the clean-up. Its decisions about texts and paths are here; the calls
// into the platform are in the _win32 file.
#pragma once

#include <string>
#include <vector>

#include "driver/command_line.h"
#include "external/program_runner.h"
#include "platform/run_platform.h"
#include "settings/first_boxes.h"
#include "settings/settings.h"

// Something of the installation that stayed, and why: an entry the removal
// reported, or an entry of the user's in a directory that stayed, named on a
// line below that directory's by its path relative to the own directory.
struct StayedItem {
  // kKeptByDeleteAll: a file the setup listed, which delete-all does not read.
  enum Kind : uint8_t { kEntry, kUsersFile, kUsersDirectory, kUsersLink, kKeptByDeleteAll };
  std::string path;
  Outcome outcome = Outcome::kNotEmpty;  // an entry's
  // The platform's error behind kFailed; the user's entries that a kNotEmpty
  // directory or a user's directory holds.
  uint32_t number = 0;
  Kind kind = kEntry;
};

// Everything the run keeps from start-up to exit.
struct UninstallRun {
  UninstallSettings settings;
  UiTexts texts;
  bool end = false;
  bool removal_succeeded = false;
  // Files in use were left to the next restart.
  bool restart_needed = false;
  // What stayed of the installation, in the order the removal met it; the
  // list shows the first ones and counts the rest.
  std::vector<StayedItem> stayed;
  // A drive or share root or one of the shell's folders: delete-all is not
  // offered there, and the directory itself is never removed.
  bool shared_directory = false;
  // An administrator's run without window or box (/S), and its log, if any.
  bool unattended = false;
  std::string log_path;
  // Without User Account Control, LoginAdmin shows the logon window.
  bool logon_window = false;
  // How long an unattended run waits for a program (seconds; 0: no limit),
  // and whether one outlived that: the run then ends as a failure.
  uint32_t timeout_seconds = 0;
  bool waits_ran_out = false;
  std::vector<std::string> notes;
  // A plan's files that its removal and Ready would remove, by full path.
  std::vector<std::string> planned_removals;
};

// The directory the run works in, with a trailing backslash: the executable's
// own, unless that is the development directory (empty: none), in which case
// the current directory.
std::string ChooseOwnDirectory(const std::string& module_path, const std::string& development_directory,
                               const std::string& current_directory);

struct MessageText {
  std::string caption;
  std::string text;
  unsigned style;
};

// The texts of the boxes shown before any user text is loaded, as the
// program's text: in the user's language where the system's code page holds
// it (an older Windows, which ignores UTF-8, may not), English otherwise.
class FirstBoxes {
 public:
  FirstBoxes(FileReader& text, uint16_t ui_language);
  FirstBoxes(const FirstBoxes&) = delete;  // its texts point into it
  FirstBoxes& operator=(const FirstBoxes&) = delete;
  const FirstBoxTexts& Texts() const { return texts_; }

 private:
  std::string held_[4];
  FirstBoxTexts texts_;
};

// The box for a missing uninstall.dat; no user text is loaded yet.
MessageText MissingSettingsMessage(const std::string& settings_path, const FirstBoxTexts& texts);

// True when the path the program would use is its own exactly; where the
// system put in nearest letters, it may name another folder, anyone's to
// make, and the run acts on nothing.
bool OwnPathIsExact(const ModulePathForms& forms);
// The box for that.
MessageText InexactPathMessage(const std::string& module_path, const FirstBoxTexts& texts);

struct RunPlatform;

// Whether a before- or after-uninstall value names a hook to run: a file
// there, below the own directory; one that leads outside is passed over,
// and the log says so.
bool HookIsTheInstallations(const std::string& value, const UninstallSettings& settings, const RunPlatform& platform);

// Runs a program of the installer's and waits for it as the run's mode
// allows; one that outlives the wait is logged and marks the run.
ProgramOutcome RunHookProgram(UninstallRun& run, const RunPlatform& platform, ProgramKind kind,
                              const std::string& program, const std::string& parameters,
                              const std::string& working_directory);

// A message box for the user, or for an unattended run a line of the log;
// the log has it in either mode.
void Notify(const UninstallRun& run, const RunPlatform& platform, const MessageText& box);

// The start-up checks and hooks before the window opens: the running-program
// check, the before-uninstall program and the uninstall script. kRemoved
// when the run goes on; otherwise why it must end here, with nothing removed.
RunResult RunStartupHooks(UninstallRun& run, const RunPlatform& platform);

// The whole run in its order: the command line, the own directory and
// uninstall.dat, the settings and texts, the log, the start-up checks and
// hooks; then either the window, the logon, the delete-all option and the
// user's buttons until the end, or, unattended, the listed removal and the
// clean-up that Ready does. The process exit code: always 0 for the user's
// run, the result's code for an unattended one.
uint32_t RunUninstall(UninstallRun& run, const RunPlatform& platform, const std::string& development_directory,
                      const std::string& command_line);

// The process's run on the real platform.
uint32_t RunUninstall();
