#include "driver/plan_report.h"

#include <algorithm>

#include "driver/removal_steps.h"
#include "removal/file_removal.h"
#include "removal/registry.h"
#include "settings/settings_file.h"
#include "text/text.h"

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
