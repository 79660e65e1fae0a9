// The plan is the run, looked at: random installations, each planned with
// /PLAN and then removed with /S, and every line of the plan held against
// what the run did and the state it left. QM_DIFFERENTIAL_SEEDS=N runs N
// seeds (a few by default, so that the suite stays quick).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>

#include "harness_win32.h"
#include "platform/owners_win32.h"

namespace {

constexpr DWORD kWait = 30000;

int SeedsToRun() {
  const char* asked = std::getenv("QM_DIFFERENTIAL_SEEDS");
  const int seeds = asked != nullptr ? std::atoi(asked) : 0;
  return seeds > 0 ? seeds : 6;
}

void DeleteTree(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }

// Lines of a log that tell a change done ("file X: removed"), by the
// subject's path, in capitals.
std::vector<std::string> RemovedInTheRun(const std::string& log) {
  std::vector<std::string> paths;
  for (const char* action : {"file ", "directory "}) {
    for (size_t at = log.find(action); at != std::string::npos; at = log.find(action, at + 1)) {
      const size_t end = log.find("\r\n", at);
      const std::string line = log.substr(at, end - at);
      const size_t told = line.rfind(": removed");
      if (told == std::string::npos || told + 9 != line.size()) continue;
      std::string path = line.substr(strlen(action), told - strlen(action));
      CharUpperBuffA(&path[0], static_cast<DWORD>(path.size()));
      paths.push_back(path);
    }
  }
  return paths;
}

// One random installation: files in folders, listed or the user's, read-only
// ones, second names (hard links), values named twice or in other letters,
// registry records through two names of one key, a task's file outside.
struct Scenario {
  explicit Scenario(unsigned seed) : install("app"), rng(seed), tag("QmDiff" + std::to_string(seed)) {}

  void Stage() {
    const std::vector<std::string> folders = {"", "a\\", "a\\b\\", "c\\", "d\\"};
    for (const std::string& folder : folders) {
      if (!folder.empty()) install.MakeDir(folder.substr(0, folder.size() - 1));
    }
    install.Write("editor.exe", "MZ");
    listed.push_back("editor.exe");
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) {
      const std::string name = folders[Pick(folders.size())] + "f" + std::to_string(i) + ".txt";
      const std::string path = install.Write(name, "x");
      names.push_back(name);
      if (Chance(15)) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
      if (Chance(70)) listed.push_back(Chance(20) ? Upper(name) : name);
      if (Chance(10)) listed.push_back(name);  // twice
    }
    for (int i = 0; i < 3; ++i) {
      if (!Chance(50)) continue;
      const std::string name = folders[Pick(folders.size())] + "h" + std::to_string(i) + ".txt";
      CreateHardLinkA((install.Dir() + name).c_str(), (install.Dir() + names[Pick(names.size())]).c_str(), nullptr);
      if (Chance(50)) listed.push_back(name);
    }
    std::shuffle(listed.begin() + 1, listed.end(), rng);
    std::vector<std::string> dirs = {"a", "a\\b", "c", "d"};
    std::shuffle(dirs.begin(), dirs.end(), rng);
    // Registry: values of the product, one key shared with a value of another's.
    const std::string key = "Software\\QmDiff\\" + tag;
    SetRegistryText(HKEY_CURRENT_USER, key, "ours", "x");
    if (Chance(50)) SetRegistryText(HKEY_CURRENT_USER, key, "theirs", "x");
    SetRegistryText(HKEY_CURRENT_USER, key + "\\Solo", "v", "x");
    SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + tag, "v", "x");
    tasks = {"6|2147483649|" + key + "|ours", "6|2147483649|" + key + "\\Solo|v", "6|2147483648|" + tag + "|v",
             "6|2147483650|Software\\Classes\\" + tag + "|v"};
    if (Chance(50)) tasks.push_back("6|2147483649|" + Upper(key) + "|OURS");
    if (Chance(50)) tasks.push_back("6|2147483649|" + key + "\\Solo|v");
    if (Chance(30)) tasks.push_back("6|2147483649|\\" + key + "|ours");
    tasks.push_back("1|" + outside.Write("task.txt", "x"));
    // A path with a wildcard names no one file: its removal fails, and neither says removed.
    if (Chance(30)) tasks.push_back("1|" + outside.Path() + "t*.txt");
    std::shuffle(tasks.begin(), tasks.end(), rng);
    std::string dat = Chance(50) ? "\xEF\xBB\xBF" : "";
    dat += "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\n";
    for (size_t i = 0; i < listed.size(); ++i) dat += "f" + std::to_string(i) + "=" + listed[i] + "\r\n";
    dat += "[Dirs]\r\n";
    for (size_t i = 0; i < dirs.size(); ++i) {
      if (Chance(70)) dat += "d" + std::to_string(i) + "=" + dirs[i] + "\r\n";
    }
    dat += "[UserTask]\r\nNumber=" + std::to_string(tasks.size()) + "\r\n";
    for (size_t i = 0; i < tasks.size(); ++i) dat += "Task" + std::to_string(i + 1) + "=" + tasks[i] + "\r\n";
    install.Write("uninstall.dat", dat);
  }

  void CleanUp() const {
    DeleteTree(HKEY_CURRENT_USER, "Software\\QmDiff\\" + tag);
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + tag);
    for (const std::string& folder :
         {std::string(), std::string("a\\"), std::string("a\\b\\"), std::string("c\\"), std::string("d\\")}) {
      for (int i = 0; i < 10; ++i) {
        SetFileAttributesA((install.Dir() + folder + "f" + std::to_string(i) + ".txt").c_str(), FILE_ATTRIBUTE_NORMAL);
      }
    }
  }

  size_t Pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(rng); }
  bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; }
  static std::string Upper(std::string text) {
    CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
  }

  StagedInstall install;
  TempTree outside;
  std::mt19937 rng;
  std::string tag;
  std::vector<std::string> listed;
  std::vector<std::string> tasks;
};

// Whether each path stands after the run, by the last line the plan gives it.
std::map<std::string, bool> LastWords(const std::string& plan) {
  std::map<std::string, bool> words;
  for (size_t at = 0, end; (end = plan.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const std::string line = plan.substr(at, end + 2 - at);
    for (const std::string& path : PathsTold(line, "would be removed")) words[path] = false;
    for (const std::string& path : PathsTold(line, "would stay")) words[path] = true;
  }
  return words;
}

// A registry entry by its names in capitals, as the registry compares them:
// "root\\KEY|VALUE|v" or "root\\KEY||k".
std::string RegistryName(const RegistryTold& entry) {
  std::string name = std::to_string(reinterpret_cast<uintptr_t>(entry.root)) + "\\" + entry.key + "|" + entry.value +
                     (entry.is_value ? "|v" : "|k");
  CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
  return name;
}

// The same for registry entries, by the order of the plan's lines.
std::map<std::string, bool> LastRegistryWords(const std::string& plan) {
  std::map<std::string, bool> words;
  for (size_t at = 0, end; (end = plan.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const std::string line = plan.substr(at, end + 2 - at);
    for (const auto& told : {std::make_pair("would be removed", false), std::make_pair("would stay", true),
                             std::make_pair("would be made on the way", true)}) {
      for (const RegistryTold& entry : RegistryLinesTold(line, told.first)) words[RegistryName(entry)] = told.second;
    }
  }
  return words;
}

}  // namespace

TEST(Differential, EveryLineOfAPlanIsWhatTheRunThenDoes) {
  const int seeds = SeedsToRun();
  for (int seed = 1; seed <= seeds && !HasFatalFailure(); ++seed) {
    Scenario scenario(static_cast<unsigned>(seed));
    scenario.Stage();
    const std::string plan_log = scenario.outside.Path() + "plan.log";
    const std::string run_log = scenario.outside.Path() + "run.log";
    EXPECT_EQ(ExitCodeOf(scenario.install.Exe(), "/PLAN /LOG=" + plan_log, kWait), 0u) << seed;
    EXPECT_EQ(ExitCodeOf(scenario.install.Exe(), "/S /LOG=" + run_log, kWait), 0u) << seed;
    ASSERT_TRUE(WaitForBatchToFinish(kWait));
    const std::string plan = ReadWholeFile(plan_log);
    const std::string run = ReadWholeFile(run_log);
    const std::string context = "seed " + std::to_string(seed) + "\nplan:\n" + plan + "\nrun:\n" + run;
    // Each entry by the plan's last word on it: a key deleted may be made again later.
    const std::map<std::string, bool> files = LastWords(plan);
    for (const auto& entry : files) {
      if (entry.first.find_first_of("*?") != std::string::npos) continue;  // no one entry's name
      EXPECT_EQ(PathExists(entry.first), entry.second) << entry.first << "\n" << context;
    }
    for (const std::string& path : RemovedInTheRun(run)) {
      const bool told = std::any_of(files.begin(), files.end(), [&](const auto& entry) {
        return lstrcmpiA(entry.first.c_str(), path.c_str()) == 0;
      });
      EXPECT_TRUE(told) << "the run removed what the plan did not say: " << path << "\n" << context;
    }
    std::map<std::string, RegistryTold> keys;
    std::map<std::string, bool> key_words;
    for (const char* ending : {"would be removed", "would stay", "would be made on the way"}) {
      for (const RegistryTold& entry : RegistryLinesTold(plan, ending)) {
        // A path the registry refuses names nothing that could stay.
        if (entry.key.compare(0, 1, "\\") == 0) continue;
        keys[RegistryName(entry)] = entry;
      }
    }
    for (const auto& last : LastRegistryWords(plan)) {
      const auto entry = keys.find(last.first);
      if (entry == keys.end()) continue;
      EXPECT_EQ(RegistryHas(entry->second), last.second) << last.first << "\n" << context;
    }
    scenario.CleanUp();
  }
}
