#include "driver/uninstall_sequence.h"

#include "driver/removal_steps.h"
#include "external/running_program.h"
#include "external/uninstall_script.h"
#include "platform/run_platform.h"
#include "removal/file_removal.h"
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
  for (const char* name : kScriptNames) {
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

int RunUninstall(UninstallRun& run, RunPlatform& platform, const std::string& development_directory) {
  const std::string own = ChooseOwnDirectory(platform.ModulePath(), development_directory, platform.CurrentDirectory());
  const std::string settings_path = SettingsPathFor(own);
  if (!platform.FileExists(settings_path)) {
    const MessageText box = MissingSettingsMessage(settings_path);
    platform.ShowMessage(box.caption, box.text, box.style);
    return 0;
  }
  run.settings = ReadUninstallSettings(own);
  run.texts = LoadUiTexts(settings_path);
  if (!RunStartupHooks(run, platform) || !platform.OpenWindow()) return 0;
  if (run.settings.login_admin && !platform.IsAdministrator()) platform.RunLogonDialog();
  run.shared_directory = DeleteAllWouldHarm(own, platform.ShellFolders());
  if (run.settings.no_del_all || run.shared_directory) platform.HideDeleteAllOption();
  for (int control = platform.WaitForControl(); control != kNoControl; control = platform.WaitForControl()) {
    if (HandleControl(run, platform, control)) break;
  }
  platform.EndImpersonation();
  platform.CloseWindow();
  return 0;
}
