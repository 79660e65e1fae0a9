#include "driver/removal_steps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// The lines of the list of what stayed, beyond which they are only counted.
constexpr size_t kMostListed = 300;

void NoteStayed(UninstallRun& run, const EntryReport& report) {
  if (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAbsent) return;
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

// Paths in the order of their bytes, for looking up what lies below one:
// the C library's sort, which costs the program no code of its own.
std::vector<const char*> Sorted(const std::vector<std::string>& paths) {
  std::vector<const char*> sorted;
  for (const std::string& path : paths) sorted.push_back(path.c_str());
  if (!sorted.empty())
    std::qsort(sorted.data(), sorted.size(), sizeof(const char*), [](const void* a, const void* b) {
      return std::strcmp(*static_cast<const char* const*>(a), *static_cast<const char* const*>(b));
    });
  return sorted;
}

// True when an entry stayed on a line of its own at that path or below it.
bool ListedAtOrBelow(const std::vector<const char*>& listed, const std::string& path) {
  auto at = std::lower_bound(listed.begin(), listed.end(), path.c_str(),
                             [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
  for (; at != listed.end() && std::strncmp(*at, path.c_str(), path.size()) == 0; ++at) {
    const char next = (*at)[path.size()];
    if (next == '\0' || next == '\\') return true;
  }
  return false;
}

// Each directory that stayed is named for the user's entries it holds, as it
// stands once the removal is done: not what Ready and the batch take, not
// what stayed on a line of its own or lies below one, not a file left to the
// restart under its passing name. A directory that holds nothing else stays
// off the list. The own directory comes last, when the removal succeeded; a
// value of Ready's that leads outside is listed as staying.
void NameWhatDirectoriesHold(UninstallRun& run, RunPlatform& platform) {
  const std::string& own = run.settings.own_directory;
  std::vector<std::string> leaving = {UpperCase(own + FileNameOf(platform.ModulePath()))};
  if (run.removal_succeeded) {
    std::string relative;
    for (const std::string& value : ValuesReadyTakes(run.settings)) {
      if (RelativePathBelow(value, relative)) {
        leaving.push_back(UpperCase(own + relative));
      } else {
        NoteStayed(run, {own + value, false, Outcome::kOutside, 0, 0});
      }
    }
    run.stayed.push_back({WithoutTrailingBackslashes(own), Outcome::kNotEmpty});
  }
  // Directories that stayed are the setup's own: never named as the user's.
  std::vector<std::string> paths;
  for (const StayedItem& item : run.stayed) paths.push_back(UpperCase(item.path));
  const std::vector<const char*> listed = Sorted(paths);
  std::vector<StayedItem> named;
  std::vector<std::string> directories;  // named already
  for (StayedItem& item : run.stayed) {
    if (item.outcome != Outcome::kNotEmpty) {
      named.push_back(std::move(item));
      continue;
    }
    if (std::find(directories.begin(), directories.end(), UpperCase(item.path)) != directories.end()) continue;
    directories.push_back(UpperCase(item.path));
    const size_t line = named.size();
    named.push_back(std::move(item));
    const std::string directory = named[line].path + "\\";
    for (const std::string& name : platform.EntriesOf(directory)) {
      const std::string path = UpperCase(directory + WithoutTrailingBackslashes(name));
      if (IsInUseName(name) || ListedAtOrBelow(listed, path) ||
          std::find(leaving.begin(), leaving.end(), path) != leaving.end()) {
        continue;
      }
      const bool is_directory = name.back() == '\\';
      const std::string relative = (directory + name).substr(std::min(own.size(), directory.size()));
      named.push_back({relative, Outcome::kNotEmpty,
                       is_directory ? static_cast<uint32_t>(platform.EntriesOf(directory + name).size()) : 0,
                       is_directory ? StayedItem::kUsersDirectory : StayedItem::kUsersFile});
    }
    named[line].number = static_cast<uint32_t>(named.size() - line - 1);
    if (named[line].number == 0) named.pop_back();
  }
  run.stayed = std::move(named);
}

// A number in a text of the user's, in the singular where there is one.
std::string Counted(uint32_t number, const std::string& one, const std::string& many) {
  return ReplaceAll(number == 1 ? one : many, "$N", DecimalText(static_cast<int32_t>(number)));
}

std::string StayedLine(const StayedItem& item, const UiTexts& texts) {
  switch (item.kind) {
    case StayedItem::kUsersFile:
      return "  " + item.path;
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
    NameWhatDirectoriesHold(run, platform);
    // The list, in English, under one line of the log.
    if (!run.stayed.empty()) platform.Log("what stayed:\r\n" + StayedText(run, UiTexts(), ""));
  }
  // No step of its own for the files: what follows is quick and ends with the
  // last text shown, and a failure box shows the window as it stands first.
  if (!run.removal_succeeded) {
    // The user learns where the log of the failure is.
    const std::string log = run.log_path.empty() || run.unattended ? std::string() : "\nLog: " + run.log_path;
    Notify(run, platform, {" " + run.texts[UiText::kTitel], run.texts[UiText::kError] + log, kErrorBoxStyle});
    run.end = true;
  }

  RemoveUninstallEntry(registration, platform);
  // The window stops handling messages before the last text: a click on
  // Ready that answers the text then reaches the event loop.
  platform.EndRemovingState(!run.stayed.empty());
  platform.ShowStatus(StatusText(run.restart_needed ? run.texts[UiText::kRestart] : run.texts[UiText::kStatus]));
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
      platform.ShowDetails(StayedText(run, run.texts, "\r\n"), run.settings.own_directory);
      break;
    default:
      break;  // the check box has toggled itself
  }
  return run.end;
}

std::string StayedText(const UninstallRun& run, const UiTexts& texts, const char* line_end) {
  std::string text;
  const size_t listed = std::min(run.stayed.size(), kMostListed);
  for (size_t i = 0; i < listed; ++i) AppendTexts(text, {i == 0 ? "" : "\r\n", StayedLine(run.stayed[i], texts)});
  if (listed < run.stayed.size()) {
    AppendTexts(text, {"\r\n", Counted(static_cast<uint32_t>(run.stayed.size() - listed), texts[UiText::kMore],
                                       texts[UiText::kMore])});
  }
  return text + line_end;
}
