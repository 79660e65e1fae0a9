#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "driver/run_platform_win32.h"
#include "linux_side_win32.h"
#include "platform/owners_win32.h"
#include "probes_win32.h"
#include "removal/file_system.h"
#include "removal/file_system_win32.h"
#include "temp_tree_win32.h"

namespace {
// As a run sees the file system.
bool FileExists(const std::string& path) {
  SystemChanges system;
  return ::FileExists(path, system);
}
}  // namespace

TEST(FileExists, FilesOnlyNotDirectoriesOrDrives) {
  TempTree tree;
  const std::string file = tree.Write("app.exe", "MZ");
  const std::string dir = tree.MakeDir("data");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir));
  EXPECT_FALSE(FileExists(dir + "\\"));
  EXPECT_FALSE(FileExists(tree.Path()));
  EXPECT_FALSE(FileExists(tree.Path() + "missing.exe"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists("C:"));
  EXPECT_FALSE(FileExists("C:\\"));
  EXPECT_FALSE(FileExists("C:/"));
  EXPECT_FALSE(FileExists("\\"));
  EXPECT_FALSE(FileExists("\\\\"));
}

TEST(FileExists, TrailingBackslashesAndWildcardsFollowTheSearch) {
  TempTree tree;
  const std::string file = tree.Write("readme.txt", "x");
  tree.MakeDir("only_dirs");
  tree.MakeDir("only_dirs\\sub");
  EXPECT_TRUE(FileExists(file + "\\"));
  EXPECT_TRUE(FileExists(file + "\\\\\\"));
  EXPECT_TRUE(FileExists(tree.Path() + "*.txt"));
  EXPECT_TRUE(FileExists(tree.Path() + "read??.txt"));
  EXPECT_FALSE(FileExists(tree.Path() + "*.exe"));
  EXPECT_FALSE(FileExists(tree.Path() + "only_dirs\\*"));
}

TEST(FileExists, ReadOnlyAndHiddenFilesAreFiles) {
  TempTree tree;
  const std::string file = tree.Write("locked.dll", "x");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(FileExists(file));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SameName, AsTheFileSystemTellsNamesApart) {
  // The system's own table, not the program's: rows the file system folds,
  // and rows it keeps apart although a language's rules would fold them.
  Win32System system;
  struct Row {
    const char* a;
    const char* b;
    bool same;
  };
  const Row rows[] = {
      {"\xD2\x90\xD0\xB0\xD0\xBB\xD0\xB8\xD0\xBD\xD0\xB0", "\xD2\x91\xD0\xB0\xD0\xBB\xD0\xB8\xD0\xBD\xD0\xB0", true},  // Ґалина, ґалина
      {"\xD4\xB1\xD5\xA2", "\xD5\xA1\xD5\xA2", true},                                          // Armenian Ա/ա
      {"\xEF\xBC\xA1.txt", "\xEF\xBD\x81.TXT", true},                                            // fullwidth Ａ/ａ
      {"\xE1\xBA\xA0n", "\xE1\xBA\xA1N", true},                                                  // Vietnamese Ạ/ạ
      {"Stra\xC3\x9F" "e", "STRA\xE1\xBA\x9E" "E", false},                                        // ß, ẞ
      {"\xCF\x82", "\xCE\xA3", false},                                                             // ς, Σ
      {"\xC4\xB1", "I", false},                                                                     // ı, I
      {"\xE2\x84\xAA", "K", false},                                                                // Kelvin sign, K
      {"editor.exe", "EDITOR.EXE", true},
      {"a\\b", "a/b", false},
  };
  for (const Row& row : rows) EXPECT_EQ(system.SameName(row.a, row.b), row.same) << row.a << " " << row.b;
}

TEST(FileExists, APathBeyondTheLimitIsNeverTakenForItsCutForm) {
  TempTree tree;
  // A file whose full path has exactly the most characters a path may have.
  const size_t longest = MAX_PATH - 1;
  std::string dir = tree.Path();
  while (longest - dir.size() > 200) dir = tree.MakeDir(dir.substr(tree.Path().size()) + std::string(100, 'd')) + "\\";
  const std::string name(longest - dir.size(), 'f');
  const std::string file = dir + name;
  ASSERT_EQ(file.size(), longest);
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(file + "zz"));
  EXPECT_FALSE(FileExists(file + "\\more\\than\\the\\limit"));
}

namespace {

// What the walk tells, and something to do each time it tells.
struct Told final : RemovalListener {
  Told() { name_every_entry = true; }
  std::vector<EntryReport> reports;
  void (*then)(Told& told) = nullptr;
  void* context = nullptr;
  void Entry(const EntryReport& report) override {
    reports.push_back(report);
    if (then != nullptr) then(*this);
  }
  Outcome Of(const std::string& path) const {
    for (const EntryReport& report : reports) {
      if (report.path == path) return report.outcome;
    }
    return static_cast<Outcome>(255);
  }
};

// An installation "app" in a temporary tree, beside a folder of the user's.
struct Installed {
  TempTree tree;
  std::string own = tree.MakeDir("app") + "\\";
  std::string outside = tree.MakeDir("outside");
  std::string precious = tree.Write("outside\\precious.txt", "keep me");
  HeldInstallation installation;
  Told told;

  Outcome Remove(const std::string& relative, Removal how, const std::vector<std::string>& kept = {}) {
    EXPECT_TRUE(installation.Hold(own, kept));
    const Outcome outcome = installation.Remove(relative, how, told);
    installation.Release();
    return outcome;
  }
};

}  // namespace

TEST(HeldInstallation, ATreeGoesWholeReadOnlyDeepAndOutsideTheCodePageButWhatIsKept) {
  Installed app;
  for (const char* dir : {"app\\data", "app\\data\\sub", "app\\data\\sub\\deeper"}) app.tree.MakeDir(dir);
  const std::string read_only = app.tree.Write("app\\data\\sub\\deeper\\ro.dll", "x");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA((app.own + "data\\sub").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::wstring wide(app.own.begin(), app.own.end());
  ASSERT_TRUE(CreateDirectoryW((wide + L"data\\\u65e5\u672c").c_str(), nullptr));
  FileHandle(CreateFileW((wide + L"data\\\u65e5\u672c\\\U0001F600.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, 0, nullptr));
  // 300 and 400 characters below the own directory, beyond what any path may hold.
  std::string deep = app.own + "data";
  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(MakeLongDirectory(deep += "\\" + std::string(100, static_cast<char>('a' + i))));
  ASSERT_TRUE(MakeLongFile(deep + "\\far.txt"));
  // A thousand levels, walked on the walk's own stack, not the process's.
  std::string deepest = app.own + "data";
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(MakeLongDirectory(deepest += "\\d"));
  ASSERT_TRUE(MakeLongFile(deepest + "\\bottom.txt"));
  app.tree.MakeDir("app\\bin");
  const std::string program = app.tree.Write("app\\bin\\editor.exe", "MZ");
  app.tree.Write("app\\bin\\core.dll", "x");

  EXPECT_EQ(app.Remove("data", Removal::kTree), Outcome::kRemoved);
  EXPECT_FALSE(PathExists(app.own + "data"));
  EXPECT_EQ(app.Remove("BIN", Removal::kTree, {"Bin\\EDITOR.exe"}), Outcome::kNotEmpty);
  EXPECT_TRUE(PathExists(program)) << "a kept file stays in any spelling";
  EXPECT_FALSE(PathExists(app.own + "bin\\core.dll"));
  EXPECT_EQ(app.told.Of(app.own + "BIN"), Outcome::kNotEmpty);
}

TEST(HeldInstallation, WhatCannotGoStaysWithItsAttributesAndIsToldWhy) {
  Installed app;
  app.tree.MakeDir("app\\data");
  const std::string locked = app.tree.Write("app\\data\\locked.dat", "x");
  const std::string read_only = app.tree.Write("app\\ro.dll", "x");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  app.tree.MakeDir("app\\folder.dll");
  {
    FileHandle held(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    EXPECT_EQ(app.Remove("data", Removal::kTree), Outcome::kNotEmpty);
  }
  EXPECT_EQ(app.told.Of(locked), Outcome::kInUse);
  EXPECT_NE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(app.Remove("ro.dll", Removal::kFile), Outcome::kDenied) << "listed files keep their attributes";
  EXPECT_EQ(app.Remove("folder.dll", Removal::kFile), Outcome::kDenied);
  EXPECT_EQ(app.Remove("missing.dll", Removal::kFile), Outcome::kAbsent);
  EXPECT_EQ(app.Remove("nowhere\\x.dll", Removal::kFile), Outcome::kAbsent);
  EXPECT_EQ(app.Remove("data", Removal::kEmptyDirectory), Outcome::kNotEmpty);
  EXPECT_EQ(app.Remove("ro.dll", Removal::kFileClearing), Outcome::kRemoved);
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(app.Remove("data\\locked.dat", Removal::kFile), Outcome::kRemoved);
  EXPECT_EQ(app.Remove("data", Removal::kEmptyDirectory), Outcome::kRemoved);
}

TEST(HeldInstallation, ALinkBelowTheOwnDirectoryIsNeverPassedThroughAndLosesOnlyItself) {
  Installed app;
  app.tree.Write("outside\\core.dll", "theirs");
  app.tree.MakeDir("outside\\sub");
  app.tree.MakeDir("app\\data");
  ASSERT_TRUE(MakeDirectoryLink(app.outside, app.own + "bin"));
  ASSERT_TRUE(MakeDirectoryLink(app.outside, app.own + "data\\link"));
  EXPECT_EQ(app.Remove("bin\\core.dll", Removal::kFile), Outcome::kThroughLink);
  EXPECT_EQ(app.Remove("bin\\sub", Removal::kEmptyDirectory), Outcome::kThroughLink);
  EXPECT_EQ(app.Remove("bin\\sub", Removal::kTree), Outcome::kThroughLink);
  EXPECT_EQ(app.told.Of(app.own + "bin\\core.dll"), Outcome::kThroughLink);
  // Where the platform can open a link itself, the link goes; here it stays.
  const Outcome link = app.Remove("bin", Removal::kEmptyDirectory);
  EXPECT_TRUE(link == Outcome::kLink || link == Outcome::kRemoved);
  app.Remove("data", Removal::kTree);
  EXPECT_EQ(ReadWholeFile(app.outside + "\\core.dll"), "theirs");
  EXPECT_EQ(ReadWholeFile(app.precious), "keep me");
  EXPECT_TRUE(PathExists(app.outside + "\\sub"));
  RemoveLinuxLink(app.own + "bin");
  RemoveLinuxLink(app.own + "data\\link");
}

TEST(HeldInstallation, NoDirectoryOnTheWayCanBeRenamedOrSwappedForALinkMeanwhile) {
  static Installed* app;
  Installed staged;
  app = &staged;
  staged.tree.MakeDir("app\\data");
  staged.tree.MakeDir("app\\data\\deep1");
  staged.tree.MakeDir("app\\data\\deep2");
  staged.tree.Write("app\\data\\a.txt", "x");
  staged.tree.Write("app\\data\\deep1\\x.txt", "x");
  staged.tree.Write("app\\data\\deep2\\y.txt", "x");
  static std::vector<DWORD> refusals;
  static bool swapped;
  refusals.clear();
  swapped = false;
  // Once the walk is at work in data: the held directories refuse to move;
  // deep2, not yet reached, is moved away and a link put in its place.
  staged.told.then = [](Told& told) {
    if (swapped) return;
    swapped = true;
    for (const std::string& held : {app->own + "data", app->own.substr(0, app->own.size() - 1)}) {
      refusals.push_back(MoveFileA(held.c_str(), (held + "-moved").c_str()) ? 0 : GetLastError());
    }
    EXPECT_TRUE(MoveFileA((app->own + "data\\deep2").c_str(), (app->tree.Path() + "deep2-away").c_str()));
    EXPECT_TRUE(MakeDirectoryLink(app->outside, app->own + "data\\deep2"));
    told.reports.clear();
  };
  staged.Remove("data", Removal::kTree);
  EXPECT_EQ(refusals, (std::vector<DWORD>{ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION}));
  EXPECT_EQ(staged.told.Of(staged.own + "data\\deep2"), Outcome::kChanged);
  EXPECT_FALSE(PathExists(staged.own + "data\\deep1"));
  EXPECT_EQ(ReadWholeFile(staged.precious), "keep me");
  EXPECT_TRUE(PathExists(staged.tree.Path() + "deep2-away\\y.txt"));
  RemoveLinuxLink(staged.own + "data\\deep2");
}

// The start-menu folder and links, the desktop link and the files of user
// tasks: only as their paths name them, never through a link on the way.
TEST(RemoveAbsolute, TakesOnlyWhatThePathNames) {
  TempTree tree;
  tree.MakeDir("full");
  tree.Write("full\\x", "x");
  tree.MakeDir("menu");
  tree.MakeDir("user");
  tree.Write("user\\Editor.lnk", "the user's");
  ASSERT_TRUE(MakeDirectoryLink(tree.Path() + "user", tree.Path() + "menu\\Editor"));
  const std::string read_only = tree.Write("ro.lnk", "r");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  const struct {
    std::string path;
    bool directory;
    Outcome outcome;
  } rows[] = {
      {tree.Path() + "full", true, Outcome::kNotEmpty},
      {tree.Path() + "missing", true, Outcome::kAbsent},
      {tree.Path() + "full\\x", true, Outcome::kChanged},
      {tree.Path() + "full", false, Outcome::kChanged},
      {read_only, false, Outcome::kDenied},
      {tree.Path() + "menu\\Editor\\Editor.lnk", false, Outcome::kThroughLink},
      {tree.Path() + "menu\\.\\Editor\\..\\Editor\\Editor.lnk", false, Outcome::kThroughLink},
      {tree.MakeDir("empty") + "\\", true, Outcome::kRemoved},
      {tree.Write("plain.lnk", "p"), false, Outcome::kRemoved},
      {tree.Path() + "FULL\\.\\x", false, Outcome::kRemoved},
      // A path no name can spell fails with the platform's reason, never as removed.
      {tree.Path() + "p*.lnk", false, Outcome::kFailed},
      // One that is no full path would be taken from the current folder: passed over.
      {"\"" + tree.Path() + "plain.lnk\"", false, Outcome::kOutside},
      {"plain.lnk", false, Outcome::kOutside},
  };
  // A plan says what the run then does, and changes nothing.
  PlannedChanges plan;
  SystemChanges system;
  for (EntryChanges* changes : {static_cast<EntryChanges*>(&plan), static_cast<EntryChanges*>(&system)}) {
    for (const auto& row : rows) {
      const RemovalResult result = RemoveAbsolute(row.path, row.directory, *changes);
      EXPECT_EQ(result.outcome, row.outcome) << row.path;
      if (row.outcome == Outcome::kFailed) {
        EXPECT_NE(result.error, 0u) << row.path;
      }
      if (changes == &plan && row.outcome != Outcome::kFailed && row.outcome != Outcome::kOutside) {
        EXPECT_EQ(PathExists(row.path), row.outcome != Outcome::kAbsent) << row.path;
      }
    }
  }
  EXPECT_EQ(ReadWholeFile(tree.Path() + "user\\Editor.lnk"), "the user's");
  EXPECT_TRUE(PathExists(read_only));
  EXPECT_FALSE(PathExists(tree.Path() + "empty"));
  RemoveLinuxLink(tree.Path() + "menu\\Editor");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(HeldInstallation, AProgramInUseGoesAtTheRestartAndADirectoryHoldingOnlyItAfterIt) {
  Installed app;
  app.tree.MakeDir("app\\data");
  const std::string helper = app.own + "data\\helper.exe";
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), helper.c_str(), FALSE));
  const RunningProbe running(helper, "/sleep=30000");
  ASSERT_TRUE(running.Running());
  Sleep(200);

  const PendingRestarts pending(app.own);
  EXPECT_EQ(app.Remove("data", Removal::kTree), Outcome::kAtRestart);
  EXPECT_EQ(app.told.Of(helper), Outcome::kAtRestart);
  EXPECT_FALSE(PathExists(helper)) << "renamed beside itself";
  const std::string operations = pending.Operations();
  const size_t file = operations.find(PendingRestarts::Named(app.own + "data\\~qm"));
  const size_t directory = operations.find(PendingRestarts::Named(app.own + "data") + std::string(1, '\0'));
  EXPECT_NE(file, std::string::npos);
  EXPECT_NE(directory, std::string::npos);
  EXPECT_LT(file, directory) << "the directory after its file";
}

TEST(HeldInstallation, LookingOnlyChangesNothingAndSeesWhatItWouldRemoveAsGone) {
  Installed app;
  app.tree.MakeDir("app\\lib");
  app.tree.MakeDir("app\\lib\\sub");
  const std::string core = app.tree.Write("app\\lib\\core.dll", "x");
  const std::string read_only = app.tree.Write("app\\ro.dll", "x");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string locked = app.tree.Write("app\\locked.dat", "x");
  const std::string letter = app.tree.Write("app\\letter.doc", "mine");
  PlannedChanges plan;
  app.installation.UseChanges(plan);
  FileHandle held(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  const struct {
    const char* relative;
    Removal how;
    Outcome outcome;
  } rows[] = {
      {"lib\\core.dll", Removal::kFile, Outcome::kRemoved}, {"lib\\sub", Removal::kEmptyDirectory, Outcome::kRemoved},
      {"lib", Removal::kEmptyDirectory, Outcome::kRemoved},  // what it holds would be gone by then
      {"ro.dll", Removal::kFile, Outcome::kDenied},         {"locked.dat", Removal::kFile, Outcome::kInUse},
  };
  for (const auto& row : rows) EXPECT_EQ(app.Remove(row.relative, row.how), row.outcome) << row.relative;
  EXPECT_EQ(RemoveAbsolute(letter, false, plan).outcome, Outcome::kRemoved);
  std::vector<std::string> left;
  for (const HeldEntry& entry : EntriesOf(app.own, plan)) left.push_back(entry.name);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"locked.dat", "ro.dll"}));
  for (const std::string& path : {core, app.own + "lib\\sub", read_only, letter}) EXPECT_TRUE(PathExists(path)) << path;
  SystemChanges system;
  EXPECT_EQ(EntriesOf(app.own, system).size(), 4u) << "without the plan, all of it";
  EXPECT_FALSE(FileExists(core, plan));
  EXPECT_TRUE(FileExists(core, system));
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
}
