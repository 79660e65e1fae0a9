#include "driver/removal_steps.h"

#include <algorithm>

#include "driver/run_log.h"
#include "driver/user_tasks.h"
#include "external/uninstall_script.h"
#include "removal/file_removal.h"
#include "removal/registry.h"
#include "removal/uninstall_entry.h"
#include "settings/settings_file.h"
#include "text/text.h"
#include "ui/confirmation_layout.h"
#include "ui/message_box.h"

namespace {

constexpr const char* kStartMenuKeys[] = {"Program", "AddExe", "Help", "Homepage", "Zephlink", "Uninstall"};

void RemoveStartMenuLinks(const UninstallRun& run, RunPlatform& platform) {
  SettingsFile file;
  file.Open(platform, run.settings.settings_path);
  file.SelectGroup("StartMenu");
  for (const char* key : kStartMenuKeys) {
    const std::string link = file.ReadString(key);
    if (link.empty()) continue;
    platform.ShowStatus(StatusText(link));
    platform.RemoveAbsolute(link, false);
  }
  file.Close();
}

void RemoveDesktopLink(const UninstallRun& run, RunPlatform& platform) {
  const std::string& link = run.settings.desktop_icon;
  if (link.empty()) return;
  platform.ShowStatus(StatusText(link));
  platform.RemoveAbsolute(link, false);
}

// Only the user chooses delete-all, never an unattended run: it takes user files.
bool DeleteAllChosen(const UninstallRun& run, RunPlatform& platform) {
  return !run.unattended && platform.IsDeleteAllChecked();
}

// The product's own settings go only when the user chose to delete everything.
void RemoveProductKey(const UninstallRun& run, RunPlatform& platform) {
  if (!DeleteAllChosen(run, platform) || run.settings.guid.empty()) return;
  const std::string key = ProductKeyPath(run.settings.guid);
  platform.ShowStatus(StatusText(key));
  for (const char* value : {"InstallDir", "StartMenu", "DesktopIcon"}) {
    platform.DeleteRegistryValue(kCurrentUser, key, value);
  }
  platform.DeleteRegistryKey(kCurrentUser, key);
  // Goes only when no other product of this kind is left in it.
  platform.DeleteRegistryKey(kCurrentUser, kProductKeyParent);
}

// Only when nothing else is left in it.
void RemoveStartMenuFolder(const UninstallRun& run, RunPlatform& platform) {
  const std::string& folder = run.settings.start_menu;
  if (folder.empty()) return;
  if (platform.RemoveAbsolute(folder, true) == Outcome::kRemoved) platform.ShowStatus(StatusText(folder));
}

void RunAfterUninstallProgram(const UninstallRun& run, RunPlatform& platform) {
  const UninstallSettings& s = run.settings;
  if (s.after_uninst.empty() || !platform.FileExists(s.own_directory + s.after_uninst)) return;
  platform.RunProgram(s.own_directory + s.after_uninst, s.after_param, s.own_directory);
}

using RemovalStep = void (*)(const UninstallRun&, RunPlatform&);
// A named array stays read-only data, where a braced list would be copied
// into writable data.
constexpr RemovalStep kStepsBeforeTheFiles[] = {RemoveStartMenuLinks, RemoveDesktopLink,     RemoveProductKey,
                                                UndoUserTasks,        RemoveStartMenuFolder, RunAfterUninstallProgram};

// The items of the list of what stayed, beyond which they are only counted.
constexpr size_t kMostListed = 300;

void Note(UninstallRun& run, const std::string& path, const std::string& reason) {
  if (run.stayed.size() < kMostListed) {
    run.stayed.push_back({path, reason});
  } else {
    ++run.stayed_more;
  }
}

// Of the items noted so far, those directly in the directory.
size_t NotedIn(const UninstallRun& run, const std::string& directory) {
  size_t noted = 0;
  for (const StayedItem& item : run.stayed) noted += DirectoryOf(item.path) == directory + "\\" ? 1 : 0;
  return noted;
}

// A directory is named for what it holds besides the items already noted.
void NoteHeld(UninstallRun& run, const std::string& directory, size_t held) {
  const size_t others = held - std::min(held, NotedIn(run, directory));
  if (others == 0) return;
  Note(run, directory,
       JoinTexts({"kept, it holds ", DecimalText(static_cast<int32_t>(others)),
                  others == 1 ? " file or folder" : " files or folders", " the setup did not install"}));
}

void NoteStayed(UninstallRun& run, const EntryReport& report) {
  if (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAbsent) return;
  if (report.outcome == Outcome::kNotEmpty) {
    NoteHeld(run, report.path, report.held);
  } else {
    Note(run, report.path, OutcomeWords(report));
  }
}

// What Ready deletes itself, as values below the own directory, before the
// batch takes the program's own file.
std::vector<std::string> ValuesReadyTakes(const UninstallSettings& settings) {
  std::vector<std::string> values = {FileNameOf(settings.settings_path)};
  for (const char* script : kScriptNames) values.push_back(script);
  // Without a name the value would be the directory itself, which no file deletion takes.
  for (const std::string* program : {&settings.before_uninst, &settings.after_uninst}) {
    if (!program->empty()) values.push_back(*program);
  }
  return values;
}

// The own directory, for what it holds besides what Ready and the batch
// take; a value of Ready's that leads outside is listed as staying.
void NoteTheOwnDirectory(UninstallRun& run, RunPlatform& platform) {
  const std::string& own = run.settings.own_directory;
  std::vector<std::string> leaving = {UpperCase(own + FileNameOf(platform.ModulePath()))};
  std::string relative;
  for (const std::string& value : ValuesReadyTakes(run.settings)) {
    if (RelativePathBelow(value, relative)) {
      leaving.push_back(UpperCase(own + relative));
    } else {
      NoteStayed(run, {own + value, false, Outcome::kOutside, 0, 0});
    }
  }
  size_t others = 0;
  for (const std::string& name : platform.EntriesOf(own)) {
    others += std::count(leaving.begin(), leaving.end(), UpperCase(own + name)) == 0 ? 1 : 0;
  }
  NoteHeld(run, WithoutTrailingBackslashes(own), others);
}

// What the directory step tells of each entry: a line of the log, where
// there is one, and whether the restart completes the removal. Delete-all
// counts its entries as progress, as their total is not known beforehand;
// listed removal counts its values itself.
class RemovalLedger final : public RemovalListener {
 public:
  RemovalLedger(UninstallRun& run, RunPlatform& platform, bool counting)
      : run_(run), platform_(platform), counting_(counting) {
    name_every_entry = !run.log_path.empty();
  }
  void Entry(const EntryReport& report) override {
    if (name_every_entry) platform_.Log(EntryLine(report));
    if (report.outcome == Outcome::kAtRestart) run_.restart_needed = true;
    NoteStayed(run_, report);
    if (counting_) platform_.ShowProgress(++entries_, 0);
  }

 private:
  UninstallRun& run_;
  RunPlatform& platform_;
  bool counting_;
  size_t entries_ = 0;
};

}  // namespace

void RunRemoval(UninstallRun& run, RunPlatform& platform) {
  const UninstallSettings& settings = run.settings;
  run.removal_succeeded = false;
  platform.EnterRemovingState();

  for (const RemovalStep step : kStepsBeforeTheFiles) {
    step(run, platform);
    platform.FinishStep();
  }

  // Read before the directory step, which may delete uninstall.dat.
  std::string registration = settings.guid;
  if (registration.empty())
    registration = ReadSettingValue(platform, "Settings", "ProgLink", "", settings.settings_path);
  if (IsDriveRoot(settings.own_directory)) {
    platform.Log("remove files: skipped, the own directory is a drive root");
  } else {
    const bool delete_all = DeleteAllChosen(run, platform);
    RemovalLedger ledger(run, platform, delete_all);
    run.removal_succeeded =
        delete_all ? RemoveAllFiles(settings, platform, ledger) : RemoveListedFiles(settings, platform, ledger);
    if (run.removal_succeeded) NoteTheOwnDirectory(run, platform);
    // The list as the user sees it, under one line of the log.
    if (!run.stayed.empty()) platform.Log("what stayed:\r\n" + StayedText(run, ""));
  }
  // No step of its own for the files: what follows is quick and ends with the
  // last text shown, and a failure box shows the window as it stands first.
  if (!run.removal_succeeded) {
    // The user learns where the log of the failure is.
    const std::string log = run.log_path.empty() || run.unattended ? std::string() : "\nLog: " + run.log_path;
    Notify(run, platform, {" " + run.texts.titel, run.texts.error + log, kErrorBoxStyle});
    run.end = true;
  }

  RemoveUninstallEntry(registration, platform);
  // The window stops handling messages before the last text: a click on
  // Ready that answers the text then reaches the event loop.
  platform.EndRemovingState(!run.stayed.empty());
  platform.ShowStatus(StatusText(run.restart_needed ? run.texts.restart : run.texts.status));
  platform.FinishStep();
}

void RunFinalCleanup(UninstallRun& run, RunPlatform& platform) {
  RemovalLedger ledger(run, platform, false);
  RemoveReadyFiles(run.settings, ValuesReadyTakes(run.settings), platform, ledger);
  platform.StartSelfDeleteBatch(run.shared_directory ? std::string() : run.settings.own_directory);
  run.end = true;
}

bool HandleControl(UninstallRun& run, RunPlatform& platform, int control) {
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
      platform.ShowDetails(StayedText(run, "\r\n"), run.settings.own_directory);
      break;
    default:
      break;  // the check box has toggled itself
  }
  return run.end;
}

std::string StayedText(const UninstallRun& run, const char* line_end) {
  std::string text;
  for (const StayedItem& item : run.stayed)
    AppendTexts(text, {text.empty() ? "" : "\r\n", item.path, ": ", item.reason});
  if (run.stayed_more > 0) AppendTexts(text, {"\r\nand ", DecimalText(static_cast<int32_t>(run.stayed_more)), " more"});
  return text + line_end;
}
