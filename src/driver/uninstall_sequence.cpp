#include "driver/uninstall_sequence.h"

#include "driver/run_platform.h"
#include "external/running_program.h"
#include "external/uninstall_script.h"
#include "text/text.h"
#include "ui/message_box.h"

std::string ChooseOwnDirectory(const std::string& module_path, const std::string& development_directory,
                               const std::string& current_directory) {
  const std::string own = DirectoryOf(module_path);
  if (development_directory.empty() || !TextEquals(own, development_directory)) return own;
  return WithTrailingBackslash(current_directory);
}

MessageText MissingSettingsMessage(const std::string& settings_path) {
  return {" Quillmarn - Error", "Could not find 'uninstall.dat':\n" + settings_path, kErrorBoxStyle};
}

namespace {

bool ProgramIsRunning(const UninstallSettings& settings, RunPlatform& platform) {
  if (!settings.mutex_string.empty()) return platform.MutexInUse(settings.mutex_string);
  bool running = false;
  for (const std::string& executable : platform.RunningExecutables()) {
    running = ProcessNameMatches(settings.prog_exe, executable) || running;
  }
  return running;
}

// False when the before-uninstall program ended with exit code 1.
bool RunBeforeUninstallProgram(const UninstallSettings& s, RunPlatform& platform) {
  if (s.before_uninst.empty() || !platform.FileExists(s.own_directory + s.before_uninst)) return true;
  const ProgramOutcome outcome =
      platform.RunProgram(s.own_directory + s.before_uninst, s.before_param, s.own_directory);
  return !(outcome.started && outcome.exit_code == 1);
}

void RunScriptFile(const std::string& path, const UninstallSettings& s, RunPlatform& platform) {
  std::string bytes;
  if (!platform.ReadScriptFile(path, kLargestScript, bytes)) return;
  const ScriptText script = UninstallScriptText(path, bytes, s.own_directory, s.start_menu, s.guid);
  if (!script.language.empty()) platform.RunScript(script.language, script.text);
}

void RunUninstallScript(const UninstallSettings& s, RunPlatform& platform) {
  if (!s.script) return;
  for (const char* name : {"Uninstall.vbs", "Uninstall.js"}) {
    if (platform.FileExists(s.own_directory + name)) {
      RunScriptFile(s.own_directory + name, s, platform);
      return;
    }
  }
}

}  // namespace

bool RunStartupHooks(UninstallRun& run, RunPlatform& platform) {
  if (ProgramIsRunning(run.settings, platform)) {
    platform.ShowMessage(run.texts.titel, RunningProgramMessage(run.texts.mutex), kWarningBoxStyle);
    return false;
  }
  if (!RunBeforeUninstallProgram(run.settings, platform)) return false;
  RunUninstallScript(run.settings, platform);
  return true;
}
