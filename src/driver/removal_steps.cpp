#include "driver/removal_steps.h"

#include <algorithm>

#include "driver/run_log.h"
#include "driver/user_tasks.h"
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

// Once for each path, however often the file names it.
void NoteStayed(UninstallRun& run, const EntryReport& report) {
  if (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAbsent) return;
  const std::string path = UpperCase(report.path);
  for (const StayedItem& item : run.stayed) {
    if (UpperCase(item.path) == path) return;
  }
  run.stayed.push_back({report.path, report.outcome, report.outcome == Outcome::kFailed ? report.error : 0});
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

// Each directory that stayed is named for the user's entries it holds, as it
// stands once the removal is done: not what Ready and the batch take, not
// what stayed on a line of its own or lies below one, not a file left to the
// restart under its passing name. A directory that holds nothing else stays
// off the list. The own directory comes last, when the removal succeeded; a
// value of Ready's that leads outside is listed as staying.
void NameWhatDirectoriesHold(UninstallRun& run, const RunPlatform& platform) {
  const std::string& own = run.settings.own_directory;
  // In capitals: what is not the user's, at or below each of them.
  std::vector<std::string> setups = {UpperCase(own + FileNameOf(platform.system.ModulePath()))};
  if (run.removal_succeeded) {
    std::string relative;
    for (const std::string& value : ValuesReadyTakes(run.settings)) {
      if (RelativePathBelow(value, relative)) {
        setups.push_back(UpperCase(own + relative));
      } else {
        NoteStayed(run, {own + value, false, Outcome::kOutside, 0, 0});
      }
    }
    run.stayed.push_back({WithoutTrailingBackslashes(own), Outcome::kNotEmpty});
  }
  for (const StayedItem& item : run.stayed) setups.push_back(UpperCase(item.path));
  std::vector<StayedItem> named;
  for (StayedItem& item : run.stayed) {
    const size_t line = named.size();
    named.push_back(std::move(item));
    if (named[line].outcome != Outcome::kNotEmpty || named[line].kind != StayedItem::kEntry) continue;
    // A folder with something of the setup's below it is looked into, so
    // that what stayed never hides the user's entries beside it.
    std::vector<std::string> folders = {named[line].path + "\\"};
    while (!folders.empty()) {
      const std::string directory = folders.back();
      folders.pop_back();
      for (const HeldEntry& entry : platform.files.EntriesOf(directory)) {
        const std::string path = UpperCase(directory + entry.name);
        bool setups_own = IsInUseName(entry.name), holds_setups = false;
        for (const std::string& setup : setups) {
          const bool at_or_below =
              setup.compare(0, path.size(), path) == 0 && (setup.size() == path.size() || setup[path.size()] == '\\');
          setups_own = setups_own || (at_or_below && setup.size() == path.size());
          holds_setups = holds_setups || (at_or_below && setup.size() > path.size());
        }
        // A link is named as what it is, never looked through.
        const bool folder = entry.directory && !entry.link;
        if (setups_own || (holds_setups && !folder)) continue;
        const std::string name = entry.name + (folder ? "\\" : "");
        if (holds_setups) {
          folders.push_back(directory + name);
          if (run.plan) {
            run.notes.push_back("note: the folder " + directory + entry.name +
                                " holds installed files, but no [Dirs] value names it, so it stays");
          }
          continue;
        }
        const StayedItem::Kind kind = entry.link ? StayedItem::kUsersLink
                                      : folder   ? StayedItem::kUsersDirectory
                                                 : StayedItem::kUsersFile;
        named.push_back({directory.substr(std::min(own.size(), directory.size())) + name, Outcome::kNotEmpty,
                         folder ? static_cast<uint32_t>(platform.files.EntriesOf(directory + name).size()) : 0, kind});
      }
    }
    named[line].number = static_cast<uint32_t>(named.size() - line - 1);
    if (named[line].number == 0) named.pop_back();
  }
  run.stayed = std::move(named);
}

// What the setup listed and delete-all left, which reads no [Files] value,
// is the setup's, never the user's; what Ready and the batch take is left
// to them.
void NoteListedFilesDeleteAllLeft(UninstallRun& run, const RunPlatform& platform,
                                  const std::vector<std::string>& listed) {
  const UninstallSettings& settings = run.settings;
  std::vector<std::string> later = {UpperCase(FileNameOf(platform.system.ModulePath()))};
  std::string relative;
  for (const std::string& value : ValuesReadyTakes(settings)) {
    if (RelativePathBelow(value, relative)) later.push_back(UpperCase(relative));
  }
  for (const std::string& value : listed) {
    if (RelativePathBelow(value, relative) && !relative.empty() &&
        std::find(later.begin(), later.end(), UpperCase(relative)) == later.end() &&
        platform.files.FileExists(settings.own_directory + relative)) {
      run.stayed.push_back({settings.own_directory + relative, Outcome::kNotEmpty, 0, StayedItem::kKeptByDeleteAll});
    }
  }
}

// A number in a text of the user's, in the singular where there is one.
std::string Counted(uint32_t number, const std::string& one, const std::string& many) {
  return ReplaceAll(number == 1 ? one : many, "$N", DecimalText(static_cast<int32_t>(number)));
}

std::string StayedLine(const StayedItem& item, const UiTexts& texts) {
  switch (item.kind) {
    case StayedItem::kUsersFile:
      return "  " + item.path;
    case StayedItem::kUsersLink:
      return JoinTexts({"  ", item.path, " (", texts[UiText::kLinkEntry], ")"});
    case StayedItem::kKeptByDeleteAll:
      return JoinTexts({item.path, ": ", texts[UiText::kWhyListedKept]});
    case StayedItem::kUsersDirectory:
      return JoinTexts(
          {"  ", item.path, " (", Counted(item.number, texts[UiText::kEntriesOne], texts[UiText::kEntries]), ")"});
    case StayedItem::kEntry:
      break;
  }
  const std::string& why = texts[Why(item.outcome)];
  return JoinTexts({item.path, ": ",
                    item.outcome == Outcome::kNotEmpty ? Counted(item.number, texts[UiText::kWhyHeldOne], why)
                                                       : Counted(item.number, why, why)});
}

// What the directory step tells of each entry: a line of the log, where
// there is one, and whether the restart completes the removal. Delete-all
// counts its entries as progress, as their total is not known beforehand;
// listed removal counts its values itself. A plan's listed removal notes for
// the author each value that names nothing or leads where it may not.
class RemovalLedger final : public RemovalListener {
 public:
  RemovalLedger(UninstallRun& run, const RunPlatform& platform, bool counting, bool noting = false)
      : run_(run), platform_(platform), counting_(counting), noting_(noting && run.plan) {
    name_every_entry = !run.log_path.empty() || run.plan;
  }
  void Entry(const EntryReport& report) override {
    if (name_every_entry) platform_.system.Log(EntryLine(report, platform_.told));
    if (report.outcome == Outcome::kAtRestart) run_.restart_needed = true;
    if (run_.plan && (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAtRestart)) {
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

// The author's mistakes that the checker also finds, decided in the one
// place the checker uses: a [Dirs] value before one inside it, which is
// never empty when it is reached, and a program file that no [Files] value
// names, which stays. (The checker itself stays out of the program, whose
// size it would double.)
void NoteTheOrderOfTheValues(UninstallRun& run, const RunPlatform& platform) {
  // Each group's values, and their paths below the own directory in capitals.
  const std::vector<std::string> values[2] = {GroupValues(platform.system, run.settings.settings_path, "Dirs"),
                                              GroupValues(platform.system, run.settings.settings_path, "Files")};
  std::vector<std::string> paths[2];
  std::string relative;
  for (const int group : {0, 1}) {
    for (const std::string& value : values[group]) {
      paths[group].push_back(RelativePathBelow(value, relative) ? UpperCase(relative) : std::string());
    }
  }
  for (const auto& pair : DirsBeforeOneInside(paths[0])) {
    run.notes.push_back(JoinTexts({"note: the [Dirs] value ", values[0][pair.first], " comes before ",
                                   values[0][pair.second], ", which lies inside it"}));
  }
  if (!FilesNameTheProgram(paths[1], run.settings.prog_exe)) {
    run.notes.push_back("note: no [Files] value names the program, ProgExe " + run.settings.prog_exe);
  }
}

}  // namespace

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
    if (run.plan) platform.files.RememberLook();
    // Delete-all reads no [Files] value, and may delete uninstall.dat.
    const std::vector<std::string> listed =
        delete_all ? GroupValues(platform.system, settings.settings_path, "Files") : std::vector<std::string>();
    run.removal_succeeded =
        delete_all ? RemoveAllFiles(settings, platform, ledger) : RemoveListedFiles(settings, platform, ledger);
    if (delete_all) NoteListedFilesDeleteAllLeft(run, platform, listed);
    NameWhatDirectoriesHold(run, platform);
    // The whole list, in English, under one line of the log.
    if (!run.stayed.empty()) {
      platform.system.Log((run.plan ? "what would stay:\r\n" : "what stayed:\r\n") +
                          StayedText(run, UiTexts(), "", run.stayed.size()));
    }
  }
  // No step of its own for the files: what follows is quick and ends with the
  // last text shown, and a failure box shows the window as it stands first.
  if (!run.removal_succeeded) {
    // The user learns where the log of the failure is.
    const std::string log = run.log_path.empty() || run.unattended ? std::string() : "\nLog: " + run.log_path;
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

namespace {

// Collects what a look would remove, by full path, and tells nothing.
class LookedAt final : public RemovalListener {
 public:
  LookedAt() { name_every_entry = true; }
  void Entry(const EntryReport& report) override {
    if (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAtRestart) removed.push_back(report.path);
  }
  std::vector<std::string> removed;
};

bool Among(const std::vector<std::string>& paths, const std::string& path) {
  const std::string wanted = UpperCase(path);
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return UpperCase(p) == wanted; });
}

}  // namespace

void TellTheRestOfThePlan(UninstallRun& run, const RunPlatform& platform) {
  if (run.settings.no_del_all || run.shared_directory) {
    platform.system.Log("delete-all: not offered for this directory");
  } else {
    // Delete-all itself, looked at from where the files step began, and
    // Ready after it; told as its difference from the listed run.
    const std::string& own = run.settings.own_directory;
    const std::vector<std::string>& listed = run.planned_removals;
    platform.files.BackToRememberedLook();
    LookedAt all;
    if (RemoveAllFiles(run.settings, platform, all)) {
      RemoveReadyFiles(run.settings, ValuesReadyTakes(run.settings), platform, all);
    }
    const auto below = [&](const std::string& path) { return path.substr(std::min(own.size(), path.size())); };
    platform.system.Log("delete-all would also remove:");
    for (const std::string& path : all.removed) {
      if (!Among(listed, path)) platform.system.Log("  " + below(path));
    }
    const std::string key = ProductKeyPath(run.settings.guid);
    if (!run.settings.guid.empty() && platform.registry.RegistryKeyHolds(kCurrentUser, key).exists) {
      platform.system.Log("  registry key HKCU\\" + key);
    }
    bool keeps_any = false;
    for (const std::string& path : listed) {
      if (Among(all.removed, path)) continue;
      if (!keeps_any) platform.system.Log("delete-all would keep what the listed run removes:");
      keeps_any = true;
      platform.system.Log("  " + below(path));
    }
  }
  // What opening for deletion cannot tell without trying.
  platform.system.Log(
      "a file that a running program has mapped (a library in use) is told as would be removed: an administrator's "
      "run leaves it to the next restart, exit code 3010; a standard user's run keeps it and ends without 3010");
  NoteTheOrderOfTheValues(run, platform);
  for (const std::string& note : run.notes) platform.system.Log(note);
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

std::string StayedText(const UninstallRun& run, const UiTexts& texts, const char* line_end, size_t most) {
  std::string text;
  const size_t listed = std::min(run.stayed.size(), most);
  for (size_t i = 0; i < listed; ++i) AppendTexts(text, {i == 0 ? "" : "\r\n", StayedLine(run.stayed[i], texts)});
  if (listed < run.stayed.size()) {
    AppendTexts(text, {"\r\n", Counted(static_cast<uint32_t>(run.stayed.size() - listed), texts[UiText::kMore],
                                       texts[UiText::kMore])});
  }
  return text + line_end;
}
