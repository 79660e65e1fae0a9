#include "driver/removal_steps.h"

#include <algorithm>

#include "driver/run_log.h"
#include "driver/user_tasks.h"
#include "driver/what_stayed.h"
#include "external/uninstall_script.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"
#include "removal/registry.h"
#include "removal/uninstall_entry.h"
#include "settings/settings_file.h"
#include "text/text.h"
#include "ui/confirmation_layout.h"
#include "ui/message_box.h"

namespace {

void RemoveStartMenuLinks(UninstallRun& run, const RunPlatform& platform) {
  SettingsFile file;
  file.Open(platform.system, run.settings.settings_path);
  file.SelectGroup("StartMenu");
  for (const char* key : kStartMenuKeys) {
    const std::string link = file.ReadString(key);
    if (link.empty()) continue;
    platform.window.ShowStatus(StatusText(link));
    RemoveByPath(platform, link, false);
  }
  file.Close();
}

void RemoveDesktopLink(UninstallRun& run, const RunPlatform& platform) {
  const std::string& link = run.settings.desktop_icon;
  if (link.empty()) return;
  platform.window.ShowStatus(StatusText(link));
  RemoveByPath(platform, link, false);
}

// Only the user chooses delete-all, never an unattended run: it takes user files.
bool DeleteAllChosen(const UninstallRun& run, const RunPlatform& platform) {
  return !run.unattended && platform.window.IsDeleteAllChecked();
}

// The product's own settings go only when the user chose to delete everything.
void RemoveProductKey(UninstallRun& run, const RunPlatform& platform) {
  if (!DeleteAllChosen(run, platform) || run.settings.guid.empty()) return;
  const std::string key = ProductKeyPath(run.settings.guid);
  platform.window.ShowStatus(StatusText(key));
  for (const char* value : {"InstallDir", "StartMenu", "DesktopIcon"}) {
    DeleteValue(platform, kCurrentUser, key, value);
  }
  DeleteKey(platform, kCurrentUser, key);
  // Goes only when no other product of this kind is left in it.
  DeleteKey(platform, kCurrentUser, kProductKeyParent);
}

// Only when nothing else is left in it.
void RemoveStartMenuFolder(UninstallRun& run, const RunPlatform& platform) {
  const std::string& folder = run.settings.start_menu;
  if (folder.empty()) return;
  if (RemoveByPath(platform, folder, true) == Outcome::kRemoved) platform.window.ShowStatus(StatusText(folder));
}

void RunAfterUninstallProgram(UninstallRun& run, const RunPlatform& platform) {
  const UninstallSettings& s = run.settings;
  if (!HookIsTheInstallations(s.after_uninst, s, platform)) return;
  RunHookProgram(run, platform, ProgramKind::kAfterUninstall, s.own_directory + s.after_uninst, s.after_param,
                 s.own_directory);
}

// What the directory step tells of each entry: a line of the log, where
// there is one, and whether the restart completes the removal. Delete-all
// counts its entries as progress, as their total is not known beforehand;
// listed removal counts its values itself. A plan's listed removal notes for
// the author each value that names nothing or leads where it may not.
class RemovalLedger final : public RemovalListener {
 public:
  RemovalLedger(UninstallRun& run, const RunPlatform& platform, bool counting, bool noting = false)
      : run_(run), platform_(platform), counting_(counting), noting_(noting && platform.told) {
    name_every_entry = !run.log_path.empty() || platform.told;
  }
  void Entry(const EntryReport& report) override {
    if (name_every_entry) platform_.system.Log(EntryLine(report, platform_.told));
    if (report.outcome == Outcome::kAtRestart) run_.restart_needed = true;
    if (platform_.told && (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAtRestart)) {
      run_.planned_removals.push_back(report.path);
    }
    NoteStayed(run_, report);
    if (counting_) platform_.window.ShowProgress(++entries_, 0);
    const char* note = report.outcome == Outcome::kAbsent        ? "names nothing"
                       : report.outcome == Outcome::kOutside     ? "leads outside the installation"
                       : report.outcome == Outcome::kThroughLink ? "leads through a directory link"
                       : report.outcome == Outcome::kTooLong     ? "has a path beyond the limit"
                                                                 : nullptr;
    if (noting_ && note != nullptr) {
      run_.notes.push_back(
          JoinTexts({"note: a ", report.directory ? "[Dirs]" : "[Files]", " value ", note, ": ", report.path}));
    }
  }

 private:
  UninstallRun& run_;
  RunPlatform platform_;
  bool counting_;
  bool noting_;
  size_t entries_ = 0;
};

}  // namespace

std::vector<std::string> ValuesReadyTakes(const UninstallSettings& settings) {
  std::vector<std::string> values = {FileNameOf(settings.settings_path)};
  for (const char* script : kScriptNames) values.push_back(script);
  // Without a name the value would be the directory itself, which no file deletion takes.
  for (const std::string* program : {&settings.before_uninst, &settings.after_uninst}) {
    if (!program->empty()) values.push_back(*program);
  }
  return values;
}

void RunRemoval(UninstallRun& run, const RunPlatform& platform) {
  const UninstallSettings& settings = run.settings;
  run.removal_succeeded = false;
  platform.window.EnterRemovingState();

  // Each step before the files, then its place on the progress bar.
  RemoveStartMenuLinks(run, platform);
  platform.window.FinishStep();
  RemoveDesktopLink(run, platform);
  platform.window.FinishStep();
  RemoveProductKey(run, platform);
  platform.window.FinishStep();
  UndoUserTasks(run, platform);
  platform.window.FinishStep();
  RemoveStartMenuFolder(run, platform);
  platform.window.FinishStep();
  RunAfterUninstallProgram(run, platform);
  platform.window.FinishStep();

  // Read before the directory step, which may delete uninstall.dat.
  std::string registration = settings.guid;
  if (registration.empty())
    registration = ReadSettingValue(platform.system, "Settings", "ProgLink", "", settings.settings_path);
  const bool drive_root = IsDriveRoot(settings.own_directory);
  if (drive_root) {
    platform.system.Log("remove files: skipped, the own directory is a drive root");
  } else {
    const bool delete_all = DeleteAllChosen(run, platform);
    RemovalLedger ledger(run, platform, delete_all, true);
    // Where delete-all's look later begins.
    if (platform.told) platform.files.RememberLook();
    // Delete-all reads no [Files] value, and may delete uninstall.dat.
    const std::vector<std::string> listed =
        delete_all ? GroupValues(platform.system, settings.settings_path, "Files") : std::vector<std::string>();
    run.removal_succeeded =
        delete_all ? RemoveAllFiles(settings, platform, ledger) : RemoveListedFiles(settings, platform, ledger);
    if (delete_all) NoteListedFilesDeleteAllLeft(run, platform, listed);
    NameWhatDirectoriesHold(run, platform);
    // The whole list, in English, under one line of the log.
    if (!run.stayed.empty()) {
      platform.system.Log((platform.told ? "what would stay:\r\n" : "what stayed:\r\n") +
                          StayedText(run, UiTexts(), "", run.stayed.size()));
    }
  }
  // No step of its own for the files: what follows is quick and ends with the
  // last text shown, and a failure box shows the window as it stands first.
  if (!run.removal_succeeded) {
    // The user learns where the log of the failure is.
    const std::string log = run.log_path.empty() || run.unattended
                                ? std::string()
                                : "\n" + FilledTemplate(run.texts[UiText::kLogLine], {{"$Path", run.log_path}});
    Notify(run, platform, {" " + run.texts[UiText::kTitel], run.texts[UiText::kError] + log, kErrorBoxStyle});
    run.end = true;
  }

  // A retry needs the registration while the program is still there; from
  // a drive root, where no retry removes anything, it goes all the same.
  if (run.removal_succeeded || drive_root || !platform.files.FileExists(settings.own_directory + settings.prog_exe)) {
    RemoveUninstallEntry(registration, platform);
  } else {
    platform.system.Log("registration kept: the program's file is still there");
  }
  // The window stops handling messages before the last text: a click on
  // Ready that answers the text then reaches the event loop.
  platform.window.EndRemovingState(!run.stayed.empty());
  platform.window.ShowStatus(StatusText(run.restart_needed ? run.texts[UiText::kRestart] : run.texts[UiText::kStatus]));
  platform.window.FinishStep();
}

void RunFinalCleanup(UninstallRun& run, const RunPlatform& platform) {
  RemovalLedger ledger(run, platform, false);
  RemoveReadyFiles(run.settings, ValuesReadyTakes(run.settings), platform, ledger);
  const std::string own = run.shared_directory ? std::string() : run.settings.own_directory;
  platform.system.Log(
      BatchLine(platform.processes.StartSelfDeleteBatch(own), platform.told, platform.system.ModulePath(), own));
  run.end = true;
}

bool HandleControl(UninstallRun& run, const RunPlatform& platform, int control) {
  switch (control) {
    case kOkButtonId:
      RunRemoval(run, platform);
      break;
    case kCancelButtonId:
      run.end = true;
      break;
    case kReadyButtonId:
      RunFinalCleanup(run, platform);
      break;
    case kDetailsButtonId:
      platform.window.ShowDetails(StayedText(run, run.texts, "\r\n"), run.settings.own_directory);
      break;
    default:
      break;  // the check box has toggled itself
  }
  return run.end;
}
