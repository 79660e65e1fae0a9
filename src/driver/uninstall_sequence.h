// The run from start to exit: start-up, the confirmation, the removal steps
// and the clean-up. Its decisions about texts and paths are here; the calls
// into the platform are in the _win32 file.
#pragma once

#include <string>

#include "settings/settings.h"

// Everything the run keeps from start-up to exit.
struct UninstallRun {
  UninstallSettings settings;
  UiTexts texts;
  bool end = false;
  bool removal_succeeded = false;
  // A drive or share root or one of the shell's folders: delete-all is not
  // offered there, and the directory itself is never removed.
  bool shared_directory = false;
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

// The fixed English box for a missing uninstall.dat; no user text is loaded yet.
MessageText MissingSettingsMessage(const std::string& settings_path);

class RunPlatform;

// The start-up checks and hooks before the window opens: the running-program
// check, the before-uninstall program and the uninstall script. False when
// the run must end here, with nothing removed.
bool RunStartupHooks(UninstallRun& run, RunPlatform& platform);

// The whole run in its order: the own directory and uninstall.dat, the
// settings and texts, the start-up checks and hooks, the window, the logon,
// the delete-all option, the user's buttons until the end, and the clean-up
// of the window and the rights. The process exit code, always 0.
int RunUninstall(UninstallRun& run, RunPlatform& platform, const std::string& development_directory);

// The process's run on the real platform.
int RunUninstall();
