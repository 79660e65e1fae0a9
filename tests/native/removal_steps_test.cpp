#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "driver/removal_steps.h"
#include "driver/run_log.h"
#include "driver/what_stayed.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"
#include "ui/confirmation_layout.h"

namespace {

using Log = std::vector<std::string>;

const std::string kOwn = "C:\\Apps\\Editor\\";
const std::string kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class RemovalStepsTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearStagedFiles(); }
  void TearDown() override { EXPECT_EQ(HeldFileCount(), 0) << "uninstall.dat was left open"; }

  // Stages uninstall.dat and reads it as start-up does.
  void Install(const std::string& own, const std::string& dat) {
    StageFile(own + "uninstall.dat", dat);
    run.settings = ReadUninstallSettings(StagedFiles(), own);
    run.texts = LoadUiTexts(StagedFiles(), own + "uninstall.dat");
  }

  UninstallRun run;
  FakePlatform platform;
};

const char kEditor[] =
    "[Settings]\nProgName=Editor\nProgExe=editor.exe\nProgDir=C:\\Apps\\Editor\nStartMenu=C:\\Menu\\Editor\n"
    "DesktopIcon=C:\\Desk\\Editor.lnk\nGUID={E1}\n"
    "[StartMenu]\nUninstall=C:\\Menu\\Editor\\Uninstall.lnk\nProgram=C:\\Menu\\Editor\\Editor.lnk\n"
    "Help=C:\\Menu\\Editor\\Help.lnk\nHomepage=\n"
    "[Files]\nf1=editor.exe\nf2=gone.dll\nf3=data\\notes.txt\n"
    "[Dirs]\nd1=data\\sub\nd2=data\nd3=full\n";

}  // namespace

TEST(RunLog, OneFormInARunAndAPlanAndAFailureIsNeverRemoved) {
  struct Row {
    Outcome outcome;
    uint32_t error;
    uint32_t held;
    const char* run;
    const char* plan;
  };
  const Row rows[] = {
      {Outcome::kRemoved, 0, 0, "removed", "would be removed"},
      {Outcome::kAbsent, 0, 0, "absent", "absent"},
      {Outcome::kInUse, 0, 0, "in use", "would stay, in use"},
      {Outcome::kFailed, 0, 0, "failed", "would stay, failed"},
      {Outcome::kFailed, 123, 0, "error 123", "would stay, error 123"},
      {Outcome::kNotEmpty, 0, 2, "not empty, it holds 2 entries", "would stay, not empty, it holds 2 entries"},
  };
  for (const Row& row : rows) {
    EntryReport report;
    report.path = "C:\\Menu\\*.lnk";
    report.outcome = row.outcome;
    report.error = row.error;
    report.held = row.held;
    EXPECT_EQ(EntryLine(report, false), std::string("file C:\\Menu\\*.lnk: ") + row.run);
    EXPECT_EQ(EntryLine(report, true), std::string("file C:\\Menu\\*.lnk: ") + row.plan);
    report.directory = true;
    EXPECT_EQ(EntryLine(report, false), std::string("directory C:\\Menu\\*.lnk: ") + row.run);
    EXPECT_EQ(ChangeLine("registry key HKCU\\x", report, false), std::string("registry key HKCU\\x: ") + row.run);
  }
}

TEST_F(RemovalStepsTest, ListedRemovalAnnouncesEachStepBeforeItActs) {
  Install(kOwn, kEditor);
  platform.files = {kOwn + "editor.exe", kOwn + "data\\notes.txt", "C:\\Menu\\Editor\\Editor.lnk"};
  platform.empty_dirs = {"C:\\Menu\\Editor", kOwn + "data\\sub", kOwn + "data"};
  EXPECT_FALSE(HandleControl(run, platform, kOkButtonId));
  EXPECT_TRUE(run.removal_succeeded);
  const Log expected = {
      "removing",
      // The links in their fixed order, whether or not the file is still there.
      "status:  C:\\Menu\\Editor\\Editor.lnk",
      "delete:C:\\Menu\\Editor\\Editor.lnk",
      "status:  C:\\Menu\\Editor\\Help.lnk",
      "delete:C:\\Menu\\Editor\\Help.lnk",
      "status:  C:\\Menu\\Editor\\Uninstall.lnk",
      "delete:C:\\Menu\\Editor\\Uninstall.lnk",
      "status:  C:\\Desk\\Editor.lnk",
      "delete:C:\\Desk\\Editor.lnk",
      "rmdir:C:\\Menu\\Editor",
      "status:  C:\\Menu\\Editor",
      // Files: only those actually deleted are announced, after the deletion;
      // the program's own file goes last, wherever it is listed.
      "hold:" + kOwn,
      "file:gone.dll",
      "file:data\\notes.txt",
      "status:  " + kOwn + "data\\notes.txt",
      "file:editor.exe",
      "status:  " + kOwn + "editor.exe",
      // Directories: each that is empty when reached.
      "emptydir:data\\sub",
      "status:  " + kOwn + "data\\sub*.*",
      "emptydir:data",
      "status:  " + kOwn + "data*.*",
      "emptydir:full",
      "release",
      // The registration, named by GUID.
      "status:  " + kEntry + "{E1}",
      "regvalue:HKLM\\" + kEntry + "{E1}|DisplayName",
      "regvalue:HKLM\\" + kEntry + "{E1}|DisplayIcon",
      "regvalue:HKLM\\" + kEntry + "{E1}|Publisher",
      "regvalue:HKLM\\" + kEntry + "{E1}|URLInfoAbout",
      "regvalue:HKLM\\" + kEntry + "{E1}|HelpLink",
      "regvalue:HKLM\\" + kEntry + "{E1}|Contact",
      "regvalue:HKLM\\" + kEntry + "{E1}|UninstallString",
      "regkey:HKLM\\" + kEntry + "{E1}",
      "status:  Uninstalling completed.",
  };
  EXPECT_EQ(platform.log, expected);
  EXPECT_FALSE(run.end) << "the window now waits for Ready";
}

TEST_F(RemovalStepsTest, DeleteAllPurgesEveryListedTreeThenTheOwnDirectory) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\n[Files]\nf=editor.exe\n[Dirs]\nd1=data\nd2=plugins\\\n");
  platform.files = {kOwn + "editor.exe"};
  platform.delete_all_checked = true;
  HandleControl(run, platform, kOkButtonId);
  EXPECT_TRUE(run.removal_succeeded);
  const Log expected = {
      "removing",
      "hold:" + kOwn + "|keep editor.exe|keep uninstall.dat|keep uninstall.exe",
      "status:  " + kOwn + "data*.*",
      "tree:data",
      "status:  " + kOwn + "plugins\\*.*",
      "tree:plugins",
      "status:  " + kOwn + "*.*",
      // The program's file, then uninstall.dat, go last.
      "files:",
      "file!:editor.exe",
      "file!:uninstall.dat",
      "release",
      "status:  Uninstalling completed.",
  };
  EXPECT_EQ(platform.log, expected);
}

TEST_F(RemovalStepsTest, AMissingProgramOrNothingDeletedGivesTheFailureBox) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\n[Files]\nf=editor.exe\n[Language]\nTitel=Entfernen\nError=Nein\n");
  HandleControl(run, platform, kOkButtonId);
  EXPECT_FALSE(run.removal_succeeded);
  EXPECT_TRUE(run.end);
  const Log expected = {"removing", "box: Entfernen|Nein|16", "status:  Uninstalling completed."};
  EXPECT_EQ(platform.log, expected);

  // Listed mode with the program present but no [Files] entry deleted fails too.
  UninstallRun again;
  run = again;
  platform = FakePlatform();
  Install(kOwn, "[Settings]\nProgExe=editor.exe\n[Dirs]\nd=data\n");
  platform.files = {kOwn + "editor.exe"};
  platform.empty_dirs = {kOwn + "data"};
  HandleControl(run, platform, kOkButtonId);
  EXPECT_FALSE(run.removal_succeeded);
  EXPECT_TRUE(run.end);
  EXPECT_EQ(platform.empty_dirs.size(), 0u) << "the empty directory still went";
}

TEST_F(RemovalStepsTest, FromADriveRootNoFileIsRemoved) {
  for (const std::string own : {"D:\\", "D:"}) {
    run = UninstallRun();
    platform = FakePlatform();
    Install(own, "[Settings]\nProgExe=editor.exe\nDesktopIcon=C:\\Desk\\E.lnk\n[Files]\nf=editor.exe\n");
    platform.files = {own + "editor.exe"};
    platform.delete_all_checked = true;
    HandleControl(run, platform, kOkButtonId);
    const Log expected = {"removing", "status:  C:\\Desk\\E.lnk", "delete:C:\\Desk\\E.lnk",
                          "box: Uninstall Program|Uninstalling program not possible.|16",
                          "status:  Uninstalling completed."};
    EXPECT_EQ(platform.log, expected) << own;
    EXPECT_TRUE(platform.files.count(own + "editor.exe"));
    EXPECT_TRUE(run.end);
  }
  // The one test of a drive's root, in every spelling the run meets, and
  // the folder of what lies at one.
  for (const char* root : {"C:", "C:\\", "c:/", "\\\\?\\C:\\", "\\\\?\\C:"}) EXPECT_TRUE(IsDriveRoot(root)) << root;
  for (const char* other : {"C:\\Apps\\", "\\\\server\\share\\", "C:x", "", "\\"})
    EXPECT_FALSE(IsDriveRoot(other)) << other;
  EXPECT_EQ(FolderOf("C:\\x.txt"), "C:\\");
  EXPECT_EQ(FolderOf("\\\\?\\C:\\x.txt"), "\\\\?\\C:\\");
  EXPECT_EQ(FolderOf("C:\\Apps\\x.txt"), "C:\\Apps");
}

TEST_F(RemovalStepsTest, AStartMenuFolderThatIsNotEmptyStaysWithoutAText) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\nStartMenu=C:\\Menu\\Editor\n[Files]\nf=editor.exe\n");
  platform.files = {kOwn + "editor.exe"};
  HandleControl(run, platform, kOkButtonId);
  for (const std::string& entry : platform.log) EXPECT_NE(entry, "status:  C:\\Menu\\Editor");
}

TEST_F(RemovalStepsTest, CancelChangesNothingAndTheCheckBoxOnlyToggles) {
  Install(kOwn, kEditor);
  EXPECT_FALSE(HandleControl(run, platform, kDeleteAllId));
  EXPECT_FALSE(HandleControl(run, platform, kProgramNameId));
  EXPECT_TRUE(platform.log.empty());
  EXPECT_TRUE(HandleControl(run, platform, kCancelButtonId));
  EXPECT_TRUE(platform.log.empty());
}

TEST_F(RemovalStepsTest, ReadyDeletesTheUninstallersOwnFilesInOrderOnlyWithinTheInstallation) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\nAfterUninst=tools\\post.exe\n");
  EXPECT_TRUE(HandleControl(run, platform, kReadyButtonId));
  const Log expected = {"hold:" + kOwn,      "file:uninstall.dat", "file:Uninstall.vbs",
                        "file:Uninstall.js", "file:pre.exe",       "file:tools\\post.exe",
                        "release",           "batch:" + kOwn};
  EXPECT_EQ(platform.log, expected);

  // A directory the installation shares with the user's files is never removed.
  platform.log.clear();
  run.shared_directory = true;
  HandleControl(run, platform, kReadyButtonId);
  EXPECT_EQ(platform.log.back(), "batch:");

  // A value that leads outside is passed over, and listed as staying.
  Install(kOwn,
          "[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=..\\outside\\pre.exe\n[Files]\nf=editor.exe\n");
  platform.files = {kOwn + "editor.exe"};
  HandleControl(run, platform, kOkButtonId);
  ASSERT_FALSE(run.stayed.empty());
  EXPECT_EQ(run.stayed.front().path, kOwn + "..\\outside\\pre.exe");
  EXPECT_EQ(run.stayed.front().outcome, Outcome::kOutside);
  platform.log.clear();
  HandleControl(run, platform, kReadyButtonId);
  EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "file:uninstall.dat"), 1);
  for (const std::string& entry : platform.log) EXPECT_EQ(entry.find("outside"), std::string::npos) << entry;
}

TEST_F(RemovalStepsTest, DeleteAllTakesTheProductKeyAndItsParentWhenEmpty) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\nGUID={E1}\n");
  platform.files = {kOwn + "editor.exe"};
  platform.delete_all_checked = true;
  HandleControl(run, platform, kOkButtonId);
  const Log expected = {
      "removing",
      "status:  SOFTWARE\\Quillmarn\\{E1}",
      "regvalue:HKCU\\SOFTWARE\\Quillmarn\\{E1}|InstallDir",
      "regvalue:HKCU\\SOFTWARE\\Quillmarn\\{E1}|StartMenu",
      "regvalue:HKCU\\SOFTWARE\\Quillmarn\\{E1}|DesktopIcon",
      "regkey:HKCU\\SOFTWARE\\Quillmarn\\{E1}",
      "regkey:HKCU\\SOFTWARE\\Quillmarn\\",
  };
  ASSERT_GE(platform.log.size(), expected.size());
  EXPECT_EQ(Log(platform.log.begin(), platform.log.begin() + expected.size()), expected);
}

TEST_F(RemovalStepsTest, TheProductKeyStaysWithoutDeleteAll) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\nGUID={E1}\n[Files]\nf=editor.exe\n");
  platform.files = {kOwn + "editor.exe"};
  HandleControl(run, platform, kOkButtonId);
  for (const std::string& entry : platform.log) EXPECT_EQ(entry.find("Quillmarn"), std::string::npos) << entry;
}

TEST_F(RemovalStepsTest, WithoutGuidProgLinkNamesTheRegistrationEvenAfterDeleteAll) {
  for (const bool delete_all : {false, true}) {
    run = UninstallRun();
    platform = FakePlatform();
    Install(kOwn, "[Settings]\nProgExe=editor.exe\nProgLink=Editor 2\n[Files]\nf=editor.exe\n");
    platform.files = {kOwn + "editor.exe"};
    platform.delete_all_checked = delete_all;
    HandleControl(run, platform, kOkButtonId);
    const std::string key = "regkey:HKLM\\" + kEntry + "Editor 2";
    EXPECT_EQ(platform.log[platform.log.size() - 2], key) << (delete_all ? "delete-all" : "listed");
    EXPECT_FALSE(run.end);
  }
}

TEST_F(RemovalStepsTest, NoRegistrationNameLeavesTheRegistryAlone) {
  Install(kOwn, "[Settings]\nProgExe=editor.exe\n[Files]\nf=editor.exe\n");
  platform.files = {kOwn + "editor.exe"};
  HandleControl(run, platform, kOkButtonId);
  for (const std::string& entry : platform.log) EXPECT_NE(entry.compare(0, 3, "reg"), 0) << entry;
  EXPECT_EQ(platform.log.back(), "status:  Uninstalling completed.");
}

TEST_F(RemovalStepsTest, WhatStayedIsListedWithWhyLoggedAndOfferedAsDetails) {
  // A file in use, values outside, and the own directory holding a user's
  // file besides what Ready and the batch take and a file left to the restart.
  std::string files = "[Settings]\nProgExe=editor.exe\n[Files]\nf1=editor.exe\nf2=shell.dll\nf3=..\\other.dll\n";
  for (int i = 0; i < 300; ++i) files += "x=..\\x" + std::to_string(i) + "\n";
  Install(kOwn, files);
  run.log_path = "C:\\x.log";
  platform.OpenLog(run.log_path, false);
  platform.files = {kOwn + "editor.exe"};
  platform.in_use = {kOwn + "shell.dll"};
  platform.entries["C:\\Apps\\Editor"] = {"Uninstall.exe", "UNINSTALL.DAT", "letter.doc", "~qm7-0.tmp"};
  HandleControl(run, platform, kOkButtonId);
  ASSERT_EQ(run.stayed.size(), 304u) << "302 entries, the own directory and its user's file; all counted";
  EXPECT_TRUE(platform.details_offered);
  const std::string text = StayedText(run, run.texts, "\r\n");
  const std::string first = kOwn + "shell.dll: in use, scheduled for removal at restart\r\n" + kOwn +
                            "..\\other.dll: passed over, it lies outside the installation\r\n";
  EXPECT_EQ(text.compare(0, first.size(), first), 0) << text;
  EXPECT_EQ(text.substr(text.size() - 12), "and 4 more\r\n") << text;
  const std::string whole = StayedText(run, UiTexts(), "", run.stayed.size());
  EXPECT_EQ(whole.find("more"), std::string::npos) << "the log's copy is whole";
  EXPECT_EQ(std::count(platform.log_lines.begin(), platform.log_lines.end(), "what stayed:\r\n" + whole), 1);
  HandleControl(run, platform, kDetailsButtonId);
  EXPECT_EQ(platform.log.back(), "details:" + kOwn + "|" + text);

  // Each directory that stayed names what of the user's it holds; what the
  // setup listed, and what is listed on its own line, is not the user's.
  // The window speaks in [Language]'s words, the log in English.
  for (const bool translated : {false, true}) {
    UninstallRun again;
    run = again;
    platform = FakePlatform();
    Install(kOwn, "[Settings]\nProgExe=editor.exe\n[Files]\nf1=editor.exe\nf2=data\\locked.dll\n[Dirs]\nd=lib\n" +
                      std::string(translated ? "[Language]\nWhyHeld=bewaard: $N\nEntries=$N stuks\n" : ""));
    run.log_path = "C:\\x.log";
    platform.OpenLog(run.log_path, false);
    platform.files = {kOwn + "editor.exe"};
    platform.in_use = {kOwn + "data\\locked.dll"};
    platform.entries["C:\\Apps\\Editor"] = {"uninstall.exe", "letter.doc", "photos\\", "lib\\", "data\\"};
    platform.entries["C:\\Apps\\Editor\\photos"] = {"a", "b", "c"};
    platform.entries["C:\\Apps\\Editor\\lib"] = {"notes.txt"};
    platform.entries["C:\\Apps\\Editor\\data"] = {"locked.dll", "~qm7-1.tmp"};
    HandleControl(run, platform, kOkButtonId);
    const std::string english =
        "C:\\Apps\\Editor\\data\\locked.dll: in use, scheduled for removal at restart\r\n"
        "C:\\Apps\\Editor\\lib: kept, it holds 1 file or folder the setup did not install\r\n"
        "  lib\\notes.txt\r\n"
        "C:\\Apps\\Editor: kept, it holds 2 files or folders the setup did not install\r\n"
        "  letter.doc\r\n"
        "  photos\\ (3 entries)";
    const std::string dutch =
        "C:\\Apps\\Editor\\data\\locked.dll: in use, scheduled for removal at restart\r\n"
        "C:\\Apps\\Editor\\lib: kept, it holds 1 file or folder the setup did not install\r\n"
        "  lib\\notes.txt\r\n"
        "C:\\Apps\\Editor: bewaard: 2\r\n"
        "  letter.doc\r\n"
        "  photos\\ (3 stuks)";
    EXPECT_EQ(StayedText(run, run.texts, ""), translated ? dutch : english);
    EXPECT_EQ(platform.log_lines.back(), "what stayed:\r\n" + english);
  }

  // Nothing stayed: no Details.
  run = UninstallRun();
  platform = FakePlatform();
  Install(kOwn, "[Settings]\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n");
  platform.files = {kOwn + "editor.exe"};
  platform.entries["C:\\Apps\\Editor"] = {"uninstall.exe", "uninstall.dat"};
  HandleControl(run, platform, kOkButtonId);
  EXPECT_TRUE(run.stayed.empty());
  EXPECT_FALSE(platform.details_offered);
}

TEST_F(RemovalStepsTest, TheListOfWhatStayedNamesEveryUsersEntryOnceAndTrue) {
  struct Row {
    const char* case_name;
    std::string dat;
    std::map<std::string, std::vector<std::string>> entries;
    std::set<std::string> in_use;
    std::string list;  // the log's copy, after "what stayed:"; empty: nothing stayed
  };
  const std::string head = "[Settings]\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n";
  const Row rows[] = {
      {"a library in use beside the user's file, in a folder [Dirs] does not name",
       head + "f2=plugins\\x.dll\n",
       {{"C:\\Apps\\Editor", {"uninstall.exe", "plugins\\"}}, {"C:\\Apps\\Editor\\plugins", {"x.dll", "my.cfg"}}},
       {kOwn + "plugins\\x.dll"},
       "C:\\Apps\\Editor\\plugins\\x.dll: in use, scheduled for removal at restart\r\n"
       "C:\\Apps\\Editor: kept, it holds 1 file or folder the setup did not install\r\n"
       "  plugins\\my.cfg"},
      {"a folder named twice in [Dirs]",
       head + "[Dirs]\nd1=lib\nd2=lib\n",
       {{"C:\\Apps\\Editor", {"uninstall.exe", "lib\\"}}, {"C:\\Apps\\Editor\\lib", {"notes.txt"}}},
       {},
       "C:\\Apps\\Editor\\lib: kept, it holds 1 file or folder the setup did not install\r\n"
       "  lib\\notes.txt"},
      {"a link to the user's folder, named as a link and never looked through",
       head,
       {{"C:\\Apps\\Editor", {"uninstall.exe", "lnk@"}}, {"C:\\Apps\\Editor\\lnk", {"inner\\"}}},
       {},
       "C:\\Apps\\Editor: kept, it holds 1 file or folder the setup did not install\r\n"
       "  lnk (a link, not looked into)"},
  };
  for (const Row& row : rows) {
    run = UninstallRun();
    platform = FakePlatform();
    Install(kOwn, row.dat);
    run.log_path = "C:\\x.log";
    platform.OpenLog(run.log_path, false);
    platform.files = {kOwn + "editor.exe", kOwn + "plugins\\x.dll"};
    platform.entries = row.entries;
    platform.in_use = row.in_use;
    HandleControl(run, platform, kOkButtonId);
    const auto list = std::find_if(platform.log_lines.begin(), platform.log_lines.end(),
                                   [](const std::string& line) { return line.compare(0, 12, "what stayed:") == 0; });
    ASSERT_NE(list, platform.log_lines.end()) << row.case_name;
    EXPECT_EQ(list->substr(14), row.list) << row.case_name;
  }
}

TEST_F(RemovalStepsTest, AListedFileThatDeleteAllLeavesIsNeverTheUsers) {
  // Delete-all reads no [Files] value: a file the setup listed in a folder
  // that no [Dirs] value names stays, and the list says why.
  Install(kOwn,
          "[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=tools\\pre.exe\n[Files]\nf1=editor.exe\n"
          "f2=plugins\\x.dll\nf3=tools\\pre.exe\n");
  run.log_path = "C:\\x.log";
  platform.OpenLog(run.log_path, false);
  platform.files = {kOwn + "editor.exe", kOwn + "plugins\\x.dll", kOwn + "tools\\pre.exe"};
  platform.entries = {{"C:\\Apps\\Editor", {"uninstall.exe", "plugins\\", "tools\\"}},
                      {"C:\\Apps\\Editor\\plugins", {"x.dll", "my.cfg"}},
                      {"C:\\Apps\\Editor\\tools", {"pre.exe"}}};
  platform.delete_all_checked = true;
  HandleControl(run, platform, kOkButtonId);
  const auto list = std::find_if(platform.log_lines.begin(), platform.log_lines.end(),
                                 [](const std::string& line) { return line.compare(0, 12, "what stayed:") == 0; });
  ASSERT_NE(list, platform.log_lines.end());
  EXPECT_EQ(list->substr(14),
            "C:\\Apps\\Editor\\plugins\\x.dll: kept, delete-all takes only the [Dirs] folders and the files directly "
            "in the installation folder\r\n"
            "C:\\Apps\\Editor: kept, it holds 1 file or folder the setup did not install\r\n"
            "  plugins\\my.cfg")
      << "the before-uninstall program is Ready's to delete";
}

TEST_F(RemovalStepsTest, ReadyTakesADirsFolderThatHeldOnlyWhatReadyTakes) {
  // tools held only the before-uninstall program, which only Ready deletes.
  Install(kOwn,
          "[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=tools\\pre.exe\n[Files]\nf1=editor.exe\n"
          "[Dirs]\nd1=tools\nd2=lib\n");
  platform.files = {kOwn + "editor.exe", kOwn + "tools\\pre.exe", kOwn + "uninstall.dat"};
  platform.entries["C:\\Apps\\Editor\\tools"] = {"pre.exe"};
  HandleControl(run, platform, kOkButtonId);
  EXPECT_TRUE(run.stayed.empty()) << "nothing of the user's stayed";
  platform.entries["C:\\Apps\\Editor\\tools"].clear();
  platform.log.clear();
  HandleControl(run, platform, kReadyButtonId);
  const auto at = [&](const std::string& entry) {
    return std::find(platform.log.begin(), platform.log.end(), entry) - platform.log.begin();
  };
  EXPECT_LT(at("file:tools\\pre.exe"), at("emptydir:tools")) << "the folder goes after the program it held";
  EXPECT_LT(at("emptydir:tools"), static_cast<long>(platform.log.size()));
  EXPECT_EQ(at("emptydir:lib"), static_cast<long>(platform.log.size())) << "a folder Ready took nothing from stays";
}
