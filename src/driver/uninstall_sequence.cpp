#include "driver/uninstall_sequence.h"

#include "driver/removal_steps.h"
#include "driver/run_log.h"
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
  return {kFixedCaption, "Could not find 'uninstall.dat':\n" + settings_path, kErrorBoxStyle};
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
  if (!platform.ReadScriptFile(path, kLargestScript, bytes)) {
    platform.Log(JoinTexts({"run script ", path, ": skipped, it cannot be read or is larger than 16 MiB"}));
    return;
  }
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

// The end of the run, in the log, and its exit code.
uint32_t Finish(const UninstallRun& run, RunPlatform& platform, RunResult result) {
  const uint32_t code = ExitCodeFor(result, run.unattended);
  platform.Log(JoinTexts({"end, exit code ", DecimalText(static_cast<int32_t>(code))}));
  return code;
}

// The user's run: the window and its buttons until the end.
void RunWithTheWindow(UninstallRun& run, RunPlatform& platform) {
  if (!platform.OpenWindow()) return;
  if (run.settings.login_admin && !platform.IsAdministrator()) platform.RunLogonDialog();
  // Asked of the shell once the window shows: the user sees it sooner.
  run.shared_directory = DeleteAllWouldHarm(run.settings.own_directory, platform.ShellFolders());
  if (run.settings.no_del_all || run.shared_directory) platform.HideDeleteAllOption();
  for (int control = platform.WaitForControl(); control != kNoControl; control = platform.WaitForControl()) {
    if (HandleControl(run, platform, control)) break;
  }
  platform.EndImpersonation();
  platform.CloseWindow();
}

// An administrator's run: what OK does in listed mode, then what Ready does.
RunResult RunUnattended(UninstallRun& run, RunPlatform& platform) {
  if (run.settings.login_admin && !platform.IsAdministrator()) {
    platform.Log("administrator rights are needed, and an unattended run shows no logon window");
    return RunResult::kNeedsAdministrator;
  }
  RunRemoval(run, platform);
  if (!run.removal_succeeded) return RunResult::kFailed;
  RunFinalCleanup(run, platform);
  return run.restart_needed ? RunResult::kRestartNeeded : RunResult::kRemoved;
}

}  // namespace

void Notify(const UninstallRun& run, RunPlatform& platform, const MessageText& box) {
  platform.Log(JoinTexts({"message ", TrimBlanks(box.caption), ": ", ReplaceAll(box.text, "\n", " | ")}));
  if (!run.unattended) platform.ShowMessage(box.caption, box.text, box.style);
}

RunResult RunStartupHooks(UninstallRun& run, RunPlatform& platform) {
  if (ProgramIsRunning(run.settings, platform)) {
    Notify(run, platform,
           {run.texts[UiText::kTitel], RunningProgramMessage(run.texts[UiText::kMutex]), kWarningBoxStyle});
    return RunResult::kRunning;
  }
  if (!RunBeforeUninstallProgram(run.settings, platform)) {
    platform.Log("the before-uninstall program answered 1: the uninstall ends");
    return RunResult::kVetoed;
  }
  RunUninstallScript(run.settings, platform);
  return RunResult::kRemoved;
}

uint32_t RunUninstall(UninstallRun& run, RunPlatform& platform, const std::string& development_directory,
                      const std::string& command_line) {
  const CommandLine line = ParseCommandLine(command_line);
  run.unattended = line.unattended;
  const std::string own = ChooseOwnDirectory(platform.ModulePath(), development_directory, platform.CurrentDirectory());
  const std::string settings_path = SettingsPathFor(own);
  const bool have_settings = platform.FileExists(settings_path);
  if (have_settings) {
    run.settings = ReadUninstallSettings(platform, own);
    run.texts = LoadUiTexts(platform, settings_path);
  }
  if (line.log) {
    run.log_path = line.log_path;
    if (run.log_path.empty())
      run.log_path = platform.TempDirectory() + DefaultLogName(run.texts.program_name, platform.Now());
    if (!platform.OpenLog(run.log_path)) {
      if (!run.unattended) {
        platform.ShowMessage(kFixedCaption, JoinTexts({"Could not write the log:\n", run.log_path}), kErrorBoxStyle);
      }
      return ExitCodeFor(RunResult::kLogNotWritable, run.unattended);
    }
  }
  platform.Log(JoinTexts({"start: ", command_line}));
  platform.Log(run.unattended ? "mode: unattended" : "mode: interactive");
  if (!line.valid) {
    Notify(run, platform, {kFixedCaption, kCommandLineHelp, kErrorBoxStyle});
    return Finish(run, platform, RunResult::kInvalidCommandLine);
  }
  if (!have_settings) {
    Notify(run, platform, MissingSettingsMessage(settings_path));
    return Finish(run, platform, RunResult::kNoSettings);
  }
  const RunResult hooks = RunStartupHooks(run, platform);
  if (hooks != RunResult::kRemoved) return Finish(run, platform, hooks);
  if (run.unattended) {
    run.shared_directory = DeleteAllWouldHarm(own, platform.ShellFolders());
    return Finish(run, platform, RunUnattended(run, platform));
  }
  RunWithTheWindow(run, platform);
  return Finish(run, platform, run.removal_succeeded ? RunResult::kRemoved : RunResult::kFailed);
}
