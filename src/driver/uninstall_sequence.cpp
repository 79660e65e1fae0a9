#include "driver/uninstall_sequence.h"

#include "driver/plan_platform.h"
#include "driver/plan_report.h"
#include "driver/removal_steps.h"
#include "driver/run_log.h"
#include "external/running_program.h"
#include "external/uninstall_script.h"
#include "platform/run_platform.h"
#include "privileges/rights.h"
#include "removal/file_association.h"
#include "removal/file_removal.h"
#include "text/text.h"
#include "ui/message_box.h"

std::string ChooseOwnDirectory(const std::string& module_path, const std::string& development_directory,
                               const std::string& current_directory) {
  const std::string own = DirectoryOf(module_path);
  if (development_directory.empty() || !TextEquals(own, development_directory)) return own;
  return WithTrailingBackslash(current_directory);
}

FirstBoxes::FirstBoxes(FileReader& text, uint16_t ui_language) {
  const FirstBoxTexts utf8[] = {FirstBoxTextsFor(ui_language), FirstBoxTextsFor(0x0409)};
  for (const FirstBoxTexts& texts : utf8) {
    bool held = true;
    const std::string_view parts[] = {texts.caption, texts.missing, texts.inexact, texts.inexact_after};
    for (size_t i = 0; i < 4 && held; ++i) held = text.Utf8Text(parts[i], held_[i]);
    if (held) break;
  }
  texts_ = {held_[0], held_[1], held_[2], held_[3]};
}

MessageText MissingSettingsMessage(const std::string& settings_path, const FirstBoxTexts& texts) {
  return {JoinTexts({" ", texts.caption}), JoinTexts({texts.missing, "\n", settings_path}), kErrorBoxStyle};
}

bool OwnPathIsExact(const ModulePathForms& forms) { return !forms.exact.empty() && forms.exact == forms.used; }

MessageText InexactPathMessage(const std::string& module_path, const FirstBoxTexts& texts) {
  return {JoinTexts({" ", texts.caption}), JoinTexts({texts.inexact, "\n", module_path, "\n", texts.inexact_after}),
          kErrorBoxStyle};
}

namespace {

// Told in the log either way.
bool ProgramIsRunning(const UninstallSettings& settings, const RunPlatform& platform) {
  // The mutex in this session's names and in the global ones, where a
  // service or another session's program holds it.
  const std::string& mutex = settings.mutex_string;
  bool running =
      !mutex.empty() && (platform.system.MutexInUse(mutex) || platform.system.MutexInUse("Global\\" + mutex));
  if (mutex.empty()) {
    for (const std::string& executable : platform.system.RunningExecutables()) {
      running = ProcessNameMatches(settings.prog_exe, executable, platform.system) || running;
    }
  }
  platform.system.Log(running ? "running-program check: running" : "running-program check: not running");
  return running;
}

// An unattended run would end here; a plan says so, and goes on to tell the rest.
bool EndsHere(const RunPlatform& platform, RunResult result) {
  if (!platform.told) return true;
  platform.system.Log(
      JoinTexts({"an unattended run would end here, exit code ", DecimalText(static_cast<int32_t>(result))}));
  return false;
}

// kVetoed when the before-uninstall program ended with exit code 1, kFailed
// when it outlived an unattended run's wait.
RunResult RunBeforeUninstallProgram(UninstallRun& run, const RunPlatform& platform) {
  const UninstallSettings& s = run.settings;
  if (!HookIsTheInstallations(s.before_uninst, s, platform)) return RunResult::kRemoved;
  const ProgramOutcome outcome = RunHookProgram(run, platform, ProgramKind::kBeforeUninstall,
                                                s.own_directory + s.before_uninst, s.before_param, s.own_directory);
  if (platform.told) platform.system.Log("if it answered 1, an unattended run would end here, exit code 1602");
  if (outcome.outlived) return RunResult::kFailed;
  return outcome.started && outcome.exit_code == 1 ? RunResult::kVetoed : RunResult::kRemoved;
}

// Nobody answers an unattended run's script: it may show nothing that waits.
void RunScriptFile(const std::string& path, UninstallRun& run, const RunPlatform& platform) {
  const UninstallSettings& s = run.settings;
  std::string bytes;
  if (!platform.system.ReadScriptFile(path, kLargestScript, bytes)) {
    platform.system.Log(JoinTexts({"script ", path, ": skipped, it cannot be read or is larger than 16 MiB"}));
    return;
  }
  std::string text;
  if (!ScriptFileText(std::move(bytes), platform.system, text)) {
    platform.system.Log(JoinTexts({"script ", path, ": skipped, its UTF-8 is malformed or not for this system"}));
    return;
  }
  const ScriptText script = UninstallScriptText(path, text, s.own_directory, s.start_menu, s.guid);
  if (script.language.empty()) return;
  const WaitPolicy policy = WaitPolicyFor(ProgramKind::kScript, run.unattended, run.timeout_seconds, false);
  const ScriptOutcome outcome =
      platform.processes.RunScript(script.language, script.text, run.unattended, policy.rule.timeout_ms);
  run.waits_ran_out = run.waits_ran_out || outcome.outlived;
  const std::string line = outcome.failed ? DecimalText(outcome.line - script.lines_before) : std::string();
  platform.system.Log(JoinTexts({"script ", path, " (", script.language, "): ",
                                 platform.told      ? "would run; what it changes itself is not in this plan"
                                 : outcome.outlived ? "still running after the timeout: left running"
                                 : !outcome.ran     ? "no script host"
                                 : outcome.failed   ? "failed at line "
                                                    : "ran",
                                 line}));
}

void RunUninstallScript(UninstallRun& run, const RunPlatform& platform) {
  const UninstallSettings& s = run.settings;
  if (!s.script) return;
  for (const char* name : kScriptNames) {
    if (platform.files.FileExists(s.own_directory + name)) {
      RunScriptFile(s.own_directory + name, run, platform);
      return;
    }
  }
}

// The end of the run, in the log, and its exit code: a program that outlived
// the wait makes a run that went on a failure, since not all of it went as planned.
uint32_t Finish(const UninstallRun& run, const RunPlatform& platform, RunResult result) {
  if (run.waits_ran_out && (result == RunResult::kRemoved || result == RunResult::kRestartNeeded)) {
    result = RunResult::kFailed;
  }
  const uint32_t code = ExitCodeFor(result, run.unattended);
  platform.system.Log(JoinTexts({"end, exit code ", DecimalText(static_cast<int32_t>(code))}));
  return code;
}

// The user's run: the window and its buttons until the end.
void RunWithTheWindow(UninstallRun& run, const RunPlatform& platform) {
  if (!platform.window.OpenWindow()) return;
  for (int control = platform.window.WaitForControl(); control != kNoControl;
       control = platform.window.WaitForControl()) {
    if (control != kWindowIdle) {
      if (HandleControl(run, platform, control)) break;
      continue;
    }
    // The shell's folders, which guard delete-all, are asked for once the
    // window first waits: it is ready sooner, and no click is handled before
    // the answer. As the user, before any logon.
    run.shared_directory = DeleteAllWouldHarm(run.settings.own_directory, platform.system);
    if (run.logon_window) platform.processes.RunLogonDialog();
    if (run.settings.no_del_all || run.shared_directory) platform.window.HideDeleteAllOption();
  }
  platform.processes.EndImpersonation();
  platform.window.CloseWindow();
}

// An administrator's run: what OK does in listed mode, then what Ready does.
// A plan ends with what delete-all would add and the notes for the author.
RunResult RunUnattended(UninstallRun& run, const RunPlatform& platform) {
  RunRemoval(run, platform);
  if (run.removal_succeeded) {
    RunFinalCleanup(run, platform);
  } else if (EndsHere(platform, RunResult::kFailed)) {
    return RunResult::kFailed;
  }
  if (platform.told) TellTheRestOfThePlan(run, platform);
  return run.restart_needed ? RunResult::kRestartNeeded : RunResult::kRemoved;
}

}  // namespace

bool HookIsTheInstallations(const std::string& value, const UninstallSettings& settings, const RunPlatform& platform) {
  if (value.empty()) return false;
  // An administrator's run trusts only its own folder: a hook that leads
  // out of it could be anybody's.
  std::string relative;
  if (!RelativePathBelow(value, relative)) {
    platform.system.Log(
        JoinTexts({"program ", settings.own_directory, value, ": passed over, it lies outside the installation"}));
    return false;
  }
  return platform.files.FileExists(settings.own_directory + value);
}

namespace {

// A program started and waited for, and its line.
ProgramOutcome StartProgram(const RunPlatform& platform, const std::string& program, const std::string& parameters,
                            const std::string& working_directory, const WaitRule& rule) {
  const ProgramOutcome outcome = platform.processes.RunProgram(program, parameters, working_directory, rule);
  platform.system.Log(ProgramLine(program, parameters, outcome, rule, platform.told));
  return outcome;
}

// A hook that is a document, in an elevated run: started by the open command
// of the machine's class for its type, with the same parameters and folder.
ProgramOutcome OpenByMachineClass(const RunPlatform& platform, const std::string& document,
                                  const std::string& parameters, const std::string& working_directory, WaitRule rule) {
  const std::string extension = ExtensionOf(document);
  const std::string classes = "Software\\Classes\\";
  std::string type, command;
  if (extension.empty() || !platform.registry.ReadRegistryValue(kLocalMachine, classes + "." + extension, "", type) ||
      type.empty() || !platform.registry.ReadRegistryValue(kLocalMachine, classes + type + kOpenCommand, "", command) ||
      command.empty()) {
    platform.system.Log(
        JoinTexts({"open document ", document, ": skipped, the machine's classes give its type no open command"}));
    return {};
  }
  platform.system.Log(JoinTexts({"open document ", document, " by the machine's class ", type, ": ", command}));
  const StartedCommand started = ProgramOfCommand(DocumentCommand(command, document, parameters), platform.files);
  rule.documents = DocumentOpening::kNone;
  return StartProgram(platform, started.program, started.arguments, ShellDirectoryFor(document, working_directory),
                      rule);
}

}  // namespace

ProgramOutcome RunHookProgram(UninstallRun& run, const RunPlatform& platform, ProgramKind kind,
                              const std::string& program, const std::string& parameters,
                              const std::string& working_directory) {
  // How a document is opened depends on the rights the run holds: asked
  // only for a hook.
  const bool elevated = IsHook(kind) && platform.system.IsAdministrator();
  const WaitPolicy policy = WaitPolicyFor(kind, run.unattended, run.timeout_seconds, elevated);
  ProgramOutcome outcome = StartProgram(platform, program, parameters, working_directory, policy.rule);
  if (outcome.not_a_program && policy.rule.documents == DocumentOpening::kMachineClasses) {
    outcome = OpenByMachineClass(platform, program, parameters, working_directory, policy.rule);
  }
  run.waits_ran_out = run.waits_ran_out || (outcome.outlived && !policy.outliving_ends_the_run);
  return outcome;
}

void Notify(const UninstallRun& run, const RunPlatform& platform, const MessageText& box) {
  platform.system.Log(JoinTexts({"message ", TrimBlanks(box.caption), ": ", ReplaceAll(box.text, "\n", " | ")}));
  if (!run.unattended) platform.window.ShowMessage(box.caption, box.text, BoxStyle(run.texts, box.style));
}

RunResult RunStartupHooks(UninstallRun& run, const RunPlatform& platform) {
  if (ProgramIsRunning(run.settings, platform)) {
    Notify(run, platform,
           {run.texts[UiText::kTitel], RunningProgramMessage(run.texts[UiText::kMutex]), kWarningBoxStyle});
    if (EndsHere(platform, RunResult::kRunning)) return RunResult::kRunning;
  }
  switch (RunBeforeUninstallProgram(run, platform)) {
    case RunResult::kVetoed:
      platform.system.Log("the before-uninstall program answered 1: the uninstall ends");
      return RunResult::kVetoed;
    case RunResult::kFailed:
      platform.system.Log(JoinTexts({"the before-uninstall program outlived the timeout of ",
                                     DecimalText(static_cast<int32_t>(run.timeout_seconds)),
                                     " s: the uninstall ends, nothing was removed"}));
      return RunResult::kFailed;
    default:
      break;
  }
  RunUninstallScript(run, platform);
  return RunResult::kRemoved;
}

namespace {

// The whole run, from the command line to the exit code, on the platform
// the command line chose.
uint32_t RunInOrder(UninstallRun& run, const RunPlatform& platform, const CommandLine& line,
                    const std::string& development_directory, const std::string& command_line) {
  run.unattended = line.unattended;
  run.timeout_seconds = line.timeout_seconds;
  const std::string module_path = platform.system.ModulePath();
  const bool exact = OwnPathIsExact(platform.system.ModulePathsInUtf16());
  const std::string own = ChooseOwnDirectory(module_path, development_directory, platform.system.CurrentDirectory());
  const std::string settings_path = SettingsPathFor(own);
  const bool have_settings = exact && platform.files.FileExists(settings_path);
  if (have_settings) {
    ReadUninstallSettings(platform.system, own, run.settings);
    LoadUiTexts(platform.system, settings_path, run.texts);
  }
  // The rights come first, before the log, which an administrator's folder
  // may hold: an elevated run opens it itself, does the hooks itself, once.
  const bool asked = line.valid && exact && have_settings && run.settings.login_admin;
  const RightsState rights{asked, asked && platform.system.IsAdministrator(), asked && platform.system.UacIsOn(),
                           run.unattended, line.elevated};
  const RightsStep step = DecideRights(rights);
  // A named log by its full path, which an elevated run is given too.
  run.log_path = line.log && !line.log_path.empty() ? platform.system.FullPath(line.log_path) : std::string();
  if (step == RightsStep::kElevate) {
    const ProgramOutcome elevated = platform.processes.RunElevated(ElevatedArguments(line, run.log_path));
    if (elevated.started) {
      if (!run.log_path.empty() && LogPathRefusal(run.log_path) == LogRefusal::kNone &&
          platform.system.OpenLog(run.log_path, false) == LogRefusal::kNone) {
        platform.system.Log(
            JoinTexts({"the elevated run ended, exit code ", DecimalText(static_cast<int32_t>(elevated.exit_code))}));
      }
      return elevated.exit_code;
    }
  }
  if (line.log) {
    // A log of its own is made new under a name nobody can foresee, in a
    // folder only the run's account and administrators may write; one that
    // is named is appended to, but never a device, a folder, a link or a
    // file with another name.
    const bool fresh = line.log_path.empty();
    if (fresh) {
      run.log_path = platform.system.TempDirectory() +
                     DefaultLogName(run.texts.program_name, platform.system.Now(), platform.system.RandomNumber());
    }
    LogRefusal refusal = fresh ? LogRefusal::kNone : LogPathRefusal(line.log_path);
    if (refusal == LogRefusal::kNone && run.log_path.empty()) refusal = LogRefusal::kUnwritable;
    if (refusal == LogRefusal::kNone) refusal = platform.system.OpenLog(run.log_path, fresh);
    if (refusal != LogRefusal::kNone) {
      const std::string shown = run.log_path.empty() ? line.log_path : run.log_path;
      if (!run.unattended) {
        const std::string why = run.texts[RefusalText(refusal)];
        platform.window.ShowMessage(
            BoxCaption(run.texts),
            FilledTemplate(ReplaceAll(run.texts[UiText::kLogRefused], "|", "\n"), {{"$Path", shown}, {"$Why", why}}),
            BoxStyle(run.texts, kErrorBoxStyle));
      }
      // In English, as the log: tools read it.
      platform.system.TellStandardError(JoinTexts({"Could not write the log: ", shown, " ", RefusalWords(refusal)}));
      return ExitCodeFor(RunResult::kLogNotWritable, run.unattended);
    }
  }
  platform.system.Log(JoinTexts({"start: ", command_line}));
  platform.system.Log(platform.told    ? "mode: plan, nothing is changed"
                      : run.unattended ? "mode: unattended"
                                       : "mode: interactive");
  if (!line.valid) {
    Notify(run, platform, {BoxCaption(run.texts), ReplaceAll(run.texts[UiText::kUsage], "|", "\n"), kErrorBoxStyle});
    return Finish(run, platform, RunResult::kInvalidCommandLine);
  }
  if (!exact) {
    Notify(run, platform,
           InexactPathMessage(module_path, FirstBoxes(platform.system, platform.system.UserUiLanguage()).Texts()));
    return Finish(run, platform, RunResult::kFailed);
  }
  if (!have_settings) {
    Notify(
        run, platform,
        MissingSettingsMessage(settings_path, FirstBoxes(platform.system, platform.system.UserUiLanguage()).Texts()));
    return Finish(run, platform, RunResult::kNoSettings);
  }
  switch (step) {
    case RightsStep::kNeedsAdministrator:
      platform.system.Log("administrator rights needed: nobody is asked");
      if (EndsHere(platform, RunResult::kNeedsAdministrator))
        return Finish(run, platform, RunResult::kNeedsAdministrator);
      break;
    case RightsStep::kElevate:
      platform.system.Log("elevation declined: the user's own rights");
      break;
    case RightsStep::kLogonWindow:
      run.logon_window = true;
      break;
    case RightsStep::kGoOn:
      break;
  }
  const RunResult hooks = RunStartupHooks(run, platform);
  if (hooks != RunResult::kRemoved) return Finish(run, platform, hooks);
  if (run.unattended) {
    run.shared_directory = DeleteAllWouldHarm(own, platform.system);
    return Finish(run, platform, RunUnattended(run, platform));
  }
  RunWithTheWindow(run, platform);
  return Finish(run, platform, run.removal_succeeded ? RunResult::kRemoved : RunResult::kFailed);
}

}  // namespace

uint32_t RunUninstall(UninstallRun& run, const RunPlatform& platform, const std::string& development_directory,
                      const std::string& command_line) {
  const CommandLine line = ParseCommandLine(command_line);
  if (!line.plan) return RunInOrder(run, platform, line, development_directory, command_line);
  // Every step only told: safe by construction.
  PlanPlatform planned(platform);
  return RunInOrder(run, planned.Parts(), line, development_directory, command_line);
}
