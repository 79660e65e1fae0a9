#include <gtest/gtest.h>

#include <optional>

#include "driver/plan_platform.h"
#include "driver/removal_steps.h"
#include "driver/user_tasks.h"
#include "external/program_runner.h"
#include "external/running_program.h"
#include "external/uninstall_script.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "removal/file_association.h"
#include "ui/confirmation_layout.h"

namespace {

using Log = std::vector<std::string>;
const std::string kOwn = "C:\\Apps\\Editor\\";

class HooksTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearStagedFiles(); }
  void Install(const std::string& dat) {
    StageFile(kOwn + "uninstall.dat", dat);
    run.settings = ReadUninstallSettings(StagedFiles(), kOwn);
    run.texts = LoadUiTexts(StagedFiles(), kOwn + "uninstall.dat");
  }
  Log Only(const std::string& prefix) const {
    Log kept;
    for (const std::string& entry : platform.log) {
      if (entry.compare(0, prefix.size(), prefix) == 0) kept.push_back(entry);
    }
    return kept;
  }
  UninstallRun run;
  FakePlatform platform;
};

}  // namespace

TEST(ProgramRunner, QuotesTheProgramOnceAndAddsParametersUnchanged) {
  EXPECT_EQ(CommandLineFor("C:\\Program Files\\App\\pre.exe", ""), "\"C:\\Program Files\\App\\pre.exe\"");
  EXPECT_EQ(CommandLineFor("C:\\A\\pre.exe", "/q \"x y\""), "\"C:\\A\\pre.exe\" /q \"x y\"");
  EXPECT_EQ(CommandLineFor("\"C:\\A\\pre.exe\"", "-v"), "\"C:\\A\\pre.exe\" -v");
  EXPECT_EQ(CommandLineFor("C:\\Windows\\regsvr32.exe", "/S /U C:\\Program Files\\x.dll"),
            "\"C:\\Windows\\regsvr32.exe\" /S /U C:\\Program Files\\x.dll");
}

TEST(WaitPolicy, UnattendedRunsWaitNoLongerThanTheLimitAndElevatedOnesOpenDocumentsByTheMachinesClasses) {
  constexpr DocumentOpening kNone = DocumentOpening::kNone, kShell = DocumentOpening::kShell,
                            kMachine = DocumentOpening::kMachineClasses;
  struct Row {
    ProgramKind kind;
    bool unattended;
    uint32_t seconds;
    bool elevated;
    uint32_t timeout_ms;
    DocumentOpening documents;
    bool ends_run;
  };
  const Row rows[] = {
      {ProgramKind::kBeforeUninstall, true, 900, false, 900000, kShell, true},
      {ProgramKind::kAfterUninstall, true, 2, true, 2000, kMachine, false},
      {ProgramKind::kLibrary, true, 2, false, 2000, kNone, false},
      {ProgramKind::kScript, true, 2, false, 2000, kNone, false},
      {ProgramKind::kAfterUninstall, true, 0, false, 0, kShell, false},                 // no limit asked for
      {ProgramKind::kAfterUninstall, true, 9999999, false, 4294967000, kShell, false},  // as good as none
      // The user's run waits as long as it takes.
      {ProgramKind::kBeforeUninstall, false, 2, false, 0, kShell, true},
      {ProgramKind::kAfterUninstall, false, 2, true, 0, kMachine, false},
      {ProgramKind::kLibrary, false, 2, true, 0, kNone, false},
  };
  for (const Row& row : rows) {
    const WaitPolicy policy = WaitPolicyFor(row.kind, row.unattended, row.seconds, row.elevated);
    EXPECT_EQ(policy.rule.timeout_ms, row.timeout_ms) << static_cast<int>(row.kind) << " " << row.seconds;
    EXPECT_EQ(policy.rule.documents, row.documents) << static_cast<int>(row.kind);
    EXPECT_EQ(policy.outliving_ends_the_run, row.ends_run) << static_cast<int>(row.kind);
  }
}

TEST(ProgramRunner, ADocumentsCommandTakesItsPathAndTheParameters) {
  const std::string doc = "C:\\App\\read me.txt";
  EXPECT_EQ(DocumentCommand("\"C:\\W\\notepad.exe\" \"%1\"", doc, ""), "\"C:\\W\\notepad.exe\" \"" + doc + "\"");
  EXPECT_EQ(DocumentCommand("C:\\W\\wscript.exe \"%L\" %*", doc, "/q"), "C:\\W\\wscript.exe \"" + doc + "\" /q");
  EXPECT_EQ(DocumentCommand("C:\\W\\viewer.exe", doc, "-x"), "C:\\W\\viewer.exe \"" + doc + "\" -x");
  EXPECT_EQ(DocumentCommand("v.exe 100%% %2", doc, ""), "v.exe 100%% %2 \"" + doc + "\"");
  // Split where the platform splits it: the program that is there, and what follows.
  FakePlatform files;
  files.files = {"C:\\Program Files\\V\\v.exe"};
  const StartedCommand started = ProgramOfCommand("C:\\Program Files\\V\\v.exe \"" + doc + "\" /q", files);
  EXPECT_EQ(started.program, "C:\\Program Files\\V\\v.exe");
  EXPECT_EQ(started.arguments, "\"" + doc + "\" /q");
  EXPECT_EQ(ProgramOfCommand("\"C:\\Gone\\v.exe\"  x", files).arguments, "x") << "a quoted one, there or not";
  EXPECT_EQ(ProgramOfCommand("C:\\Gone Away\\v.exe x", files).program, "") << "which one, nobody can say";
}

TEST(ProgramRunner, ExplorerIsToldTheFolderQuotedOrTheRootBare) {
  EXPECT_EQ(ExplorerFolderParameter("C:\\Program Files\\Editor\\"), "\"C:\\Program Files\\Editor\"");
  EXPECT_EQ(ExplorerFolderParameter("D:\\"), "D:\\");
  EXPECT_EQ(ExplorerFolderParameter("\\\\server\\share\\a,b"), "\"\\\\server\\share\\a,b\"");
}

TEST(ProgramRunner, TheShellOpensInTheGivenOrTheDocumentsDirectory) {
  EXPECT_EQ(ShellDirectoryFor("C:\\Docs\\readme.txt", "C:\\Work\\"), "C:\\Work\\");
  EXPECT_EQ(ShellDirectoryFor("C:\\Docs\\readme.txt", ""), "C:\\Docs\\");
  EXPECT_EQ(ShellDirectoryFor("\\readme.txt", ""), "");
  EXPECT_EQ(ShellDirectoryFor("readme.txt", ""), "");
}

TEST(RunningProgram, MatchesTheFilePartAsTheFileSystemComparesNames) {
  FakePlatform system;
  EXPECT_TRUE(ProcessNameMatches("editor.exe", "EDITOR.EXE", system));
  EXPECT_TRUE(ProcessNameMatches("Editor.exe", "C:\\Apps\\editor.EXE", system));
  EXPECT_FALSE(ProcessNameMatches("Apps\\editor.exe", "C:\\Apps\\editor.exe", system)) << "a directory never matches";
  EXPECT_FALSE(ProcessNameMatches("Apps/editor.exe", "C:\\Apps\\editor.exe", system));
  EXPECT_FALSE(ProcessNameMatches("editor.exe ", "editor.exe", system));
  EXPECT_FALSE(ProcessNameMatches("", "C:\\Apps\\", system));
  EXPECT_EQ(RunningProgramMessage("a|b||c"), "a\nb\n\nc");
}

TEST(UserTaskRecords, FieldsTypesAndRoots) {
  const TaskRecord registry = ParseTaskRecord("6|2147483650|Software\\Vendor|Path");
  EXPECT_EQ(registry.kind, TaskKind::RegistryEntry);
  EXPECT_EQ(TaskRoot(registry), kLocalMachine);
  EXPECT_EQ(TaskRoot(ParseTaskRecord("6|-2147483646|k|v")), kLocalMachine);
  EXPECT_EQ(TaskRoot(ParseTaskRecord("6| 2147483649|k|v")), kCurrentUser);
  // Only the predefined roots are roots: other numbers would be taken for
  // handles of the process.
  for (const RegistryRoot root : {0x80000000u, 0x80000001u, 0x80000002u, 0x80000003u, 0x80000005u}) {
    EXPECT_TRUE(IsPredefinedRoot(root)) << root;
  }
  for (const RegistryRoot root : {0u, 4u, 123u, 0x7FFFFFFFu, 0x80000004u, 0x80000006u, 0x80000050u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(IsPredefinedRoot(root)) << root;
  }
  EXPECT_EQ(ParseTaskRecord(" 9|C:\\Windows\\|C:\\x.dll").kind, TaskKind::Library);
  EXPECT_EQ(ParseTaskRecord("10|abc|Tool").kind, TaskKind::FileAssociation);
  EXPECT_EQ(ParseTaskRecord("x|C:\\f.txt").kind, TaskKind::File);
  const TaskRecord bare = ParseTaskRecord("C:\\file.txt");
  EXPECT_EQ(bare.kind, TaskKind::File);
  EXPECT_EQ(bare.field2, "");
  EXPECT_EQ(TaskCount(3), 3);
  EXPECT_EQ(TaskCount(300), 44);
  EXPECT_EQ(TaskCount(200), -56);
  EXPECT_EQ(TaskCount(127), 127);
  EXPECT_EQ(TaskCount(-1), -1);
}

TEST(FileAssociationSteps, ACommandStartsWhatCreateProcessWouldFind) {
  using List = std::vector<std::string>;
  struct Row {
    const char* command;
    List candidates;
  };
  const Row rows[] = {
      {"\"C:\\Program Files\\Tool\\tool.exe\" \"%1\"", {"C:\\Program Files\\Tool\\tool.exe"}},
      {"  C:\\Program Files\\my tools\\t.exe \"%1\"",
       {"C:\\Program", "C:\\Program Files\\my", "C:\\Program Files\\my tools\\t.exe"}},
      {"C:\\Tool\\t.exe %1", {"C:\\Tool\\t.exe", "C:\\Tool\\t.exe %1"}},
      {"C:\\Tool\\t.exe\t%1", {"C:\\Tool\\t.exe"}},
      {"C:/Tool//t.exe", {"C:/Tool//t.exe"}},
      {"\"C:\\Tool\\", {"C:\\Tool\\"}},
      {"\"\" x", {}},
      {"   ", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(CommandProgramCandidates(row.command), row.candidates) << row.command;
  EXPECT_EQ(IconFile("\"C:\\Tool\\t.exe\",0"), "C:\\Tool\\t.exe");
  EXPECT_EQ(IconFile("C:\\Tool\\t.exe,-101"), "C:\\Tool\\t.exe");
  EXPECT_EQ(IconFile(" C:\\Tool\\a,b.ico "), "C:\\Tool\\a,b.ico") << "a comma inside the name";
  EXPECT_EQ(IconFile("C:\\Tool\\t.ico"), "C:\\Tool\\t.ico");
}

TEST(FileAssociationSteps, TheVersionWordChoosesTheSet) {
  EXPECT_TRUE(FileAssociationSteps("", "Tool", 0x00FF0000).empty());
  EXPECT_TRUE(FileAssociationSteps("abc", "", 0x00FF0000).empty());

  const std::vector<RegistryStep> first = FileAssociationSteps("abc", "Tool", 0x00010000);
  ASSERT_EQ(first.size(), 17u);
  EXPECT_TRUE(first[0].value);
  EXPECT_EQ(first[0].root, kClassesRoot);
  EXPECT_EQ(first[0].key, "Applications\\Tool\\shell\\open\\command");
  EXPECT_EQ(first[4].key, "Applications\\Tool");
  EXPECT_EQ(first[5].key, "abc_auto_file\\shell\\open\\command");
  EXPECT_EQ(first[8].key, "abc_auto_file\\shell");
  EXPECT_EQ(first[9].key, "abc_auto_file\\DefaultIcon");
  EXPECT_EQ(first[14].key, ".abc");
  EXPECT_FALSE(first[14].value);
  EXPECT_EQ(first[15].root, kCurrentUser);
  EXPECT_EQ(first[15].key, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.abc");
  EXPECT_EQ(first[15].value_name, "Application");

  const std::vector<RegistryStep> second = FileAssociationSteps("abc", "Tool", 0xFF00FFFF);
  ASSERT_EQ(second.size(), 10u);
  for (const RegistryStep& step : second) EXPECT_EQ(step.root, kLocalMachine);
  EXPECT_EQ(second[0].key, "Software\\Classes\\.abc");
  EXPECT_EQ(second[5].key, "Software\\Classes\\Tool\\shell\\open\\command");
  EXPECT_EQ(second[9].key, "Software\\Classes\\Tool");
  EXPECT_FALSE(second[9].value);
  EXPECT_EQ(second[8].value_name, "");
}

TEST(UninstallScriptText, VbScriptPreambleThenTheLinesWithCrLf) {
  const ScriptText s =
      UninstallScriptText("C:\\App\\Uninstall.VBS", "a\nb\r\nc\rd", "C:\\App\\", "C:\\Menu\\App", "{G}");
  EXPECT_EQ(s.language, "VBScript");
  EXPECT_EQ(s.text,
            "Const qmProgDir = \"C:\\App\\\"\r\nConst qmStartMenuDir = \"C:\\Menu\\App\"\r\nConst qmGUID = \"{G}\"\r\n"
            "a\r\nb\r\nc\r\nd\r\n");
}

TEST(UninstallScriptText, JScriptDeclaresVarsWithDoubledBackslashes) {
  const ScriptText s =
      UninstallScriptText("C:\\App\\Uninstall.js", std::string("x;\r\n\0y\r\n", 8), "C:\\App\\", "", "");
  EXPECT_EQ(s.language, "JScript");
  EXPECT_EQ(s.text,
            "var qmProgDir  = \"C:\\\\App\\\\\";\r\nvar qmStartMenuDir = \"\";\r\nvar qmGUID = \"\";\r\n"
            "x;\r\n\r\ny\r\n");
}

TEST(UninstallScriptText, EmptyFilesAndOtherExtensions) {
  EXPECT_EQ(UninstallScriptText("u.vbs", "", "D:\\", "", "").text,
            "Const qmProgDir = \"D:\\\"\r\nConst qmStartMenuDir = \"\"\r\nConst qmGUID = \"\"\r\n");
  EXPECT_EQ(UninstallScriptText("u.vbs", "\r\n", "D:\\", "", "").text,
            UninstallScriptText("u.vbs", "", "D:\\", "", "").text + "\r\n")
      << "one empty line, and no extra one for the final line end";
  EXPECT_EQ(UninstallScriptText("u.txt", "x", "D:\\", "", "").language, "");
}

TEST(ScriptFileText, LegacyCodePageOrUtf8AfterItsSignature) {
  std::string text;
  ASSERT_TRUE(ScriptFileText("MsgBox \"caf\xE9\"", StagedFiles(), text));
  EXPECT_EQ(text, "MsgBox \"caf\xC3\xA9\"");
  ASSERT_TRUE(ScriptFileText("\xEF\xBB\xBFMsgBox \"\xD0\x98\"", StagedFiles(), text));
  EXPECT_EQ(text, "MsgBox \"\xD0\x98\"") << "the signature goes, every letter stays";
  EXPECT_FALSE(
      ScriptFileText("\xEF\xBB\xBF"
                     "a\xC3z",
                     StagedFiles(), text))
      << "malformed: nothing of it runs";
  EXPECT_FALSE(ScriptFileText("\xEF\xBB\xBF\xD0", StagedFiles(), text)) << "cut short: nothing of it runs";
}

TEST_F(HooksTest, AHeldMutexStopsTheRunAndSwitchesTheProcessSearchOff) {
  Install(
      "[Settings]\nProgName=Editor\nMutexString=EditorRuns\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\n");
  platform.files = {kOwn + "pre.exe"};
  platform.exit_codes[kOwn + "pre.exe"] = 0;
  platform.processes = {"EDITOR.EXE"};
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRemoved)
      << "the process alone does not count with a mutex name";
  platform.mutexes = {"EditorRuns"};
  platform.log.clear();
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRunning);
  EXPECT_EQ(platform.log, (Log{"box:Uninstall Program|Close Program 'Editor' first!\nThen press OK!|48"}));
}

TEST_F(HooksTest, WithoutAMutexNameTheProcessListDecides) {
  Install("[Settings]\nProgName=Editor\nProgExe=Editor.exe\n");
  platform.processes = {"explorer.exe", "C:\\Apps\\EDITOR.EXE", "editor.exe"};
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRunning);
  EXPECT_EQ(platform.log.size(), 1u) << "one box, however many instances run";
  platform.processes = {"explorer.exe"};
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRemoved);
}

TEST_F(HooksTest, TheBeforeProgramStopsTheRunOnlyWithExitCodeOne) {
  Install("[Settings]\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\nBeforeParam=/check\n");
  platform.files = {kOwn + "pre.exe"};
  for (const uint32_t code : {0u, 1u, 2u}) {
    platform.exit_codes[kOwn + "pre.exe"] = code;
    platform.log.clear();
    EXPECT_EQ(RunStartupHooks(run, platform), code == 1 ? RunResult::kVetoed : RunResult::kRemoved) << code;
    EXPECT_EQ(platform.log, (Log{"administrator?", "run:" + kOwn + "pre.exe|/check|" + kOwn}))
        << "the user's run asks whether it is elevated, which keeps the shell away";
  }
  platform.exit_codes.clear();
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRemoved) << "a program that cannot start stops nothing";
  platform.files.clear();
  platform.log.clear();
  EXPECT_EQ(RunStartupHooks(run, platform), RunResult::kRemoved);
  EXPECT_TRUE(platform.log.empty()) << "a missing program is not started";
}

TEST_F(HooksTest, OnlyOneScriptRunsAndOnlyWithScriptOn) {
  Install("[Settings]\nProgExe=editor.exe\nScript=1\nGUID={G}\n");
  platform.files = {kOwn + "Uninstall.vbs", kOwn + "Uninstall.js"};
  platform.scripts = {{kOwn + "Uninstall.vbs", "v"}, {kOwn + "Uninstall.js", "j"}};
  RunStartupHooks(run, platform);
  ASSERT_EQ(Only("script:").size(), 1u);
  EXPECT_EQ(Only("script:")[0].compare(0, 16, "script:VBScript|"), 0);
  platform.files = {kOwn + "Uninstall.js"};
  platform.log.clear();
  RunStartupHooks(run, platform);
  ASSERT_EQ(Only("script:").size(), 1u);
  EXPECT_EQ(Only("script:")[0].compare(0, 15, "script:JScript|"), 0);

  Install("[Settings]\nProgExe=editor.exe\nScript=256\n");
  platform.log.clear();
  RunStartupHooks(run, platform);
  EXPECT_TRUE(Only("script:").empty());
}

TEST_F(HooksTest, UserTasksRunInNumberOrderWithTheirTexts) {
  // A registry record's key goes only when nothing else is left in it, and
  // an association leaves an extension that names another program's class,
  // and an auto_file class that Explorer has given another program.
  for (const bool shared : {false, true}) {
    run = UninstallRun();
    platform = FakePlatform();
    Install(
        "[Settings]\nProgExe=editor.exe\n[Files]\nf=editor.exe\n"
        "[UserTask]\nNumber=6\nTask6=1|  C:\\Data\\gone.txt  \nTask1=6|2147483649|Software\\Vendor\\Tool|Path\n"
        "Task3=9|C:\\Elsewhere\\|C:\\Program Files\\Tool\\ext.dll\nTask4=10|abc|Tool\n"
        "Task5=x|  C:\\Data\\readme.txt  \nTask7=1|C:\\Data\\never.txt\n");
    platform.files = {kOwn + "editor.exe", "C:\\Data\\readme.txt", "C:\\Data\\never.txt"};
    platform.registry = {{"HKCU\\Software\\Vendor\\Tool|Path", "x"}};
    platform.registry_keys = {"HKCU\\Software\\Vendor\\Tool"};
    platform.registry["2147483648\\abc_auto_file\\shell\\open\\command|"] = "\"" + kOwn + "tool.exe\" \"%1\"";
    if (shared) {
      platform.registry["HKCU\\Software\\Vendor\\Tool|Other"] = "theirs";
      platform.registry["2147483648\\.abc|"] = "Other.Document";  // HKCR
      platform.registry["2147483648\\abc_auto_file\\shell\\open\\command|"] = "C:\\Other\\viewer.exe \"%1\"";
    }
    HandleControl(run, platform, kOkButtonId);
    Log tasks;
    for (const std::string& entry : platform.log) {
      if (entry == "hold:" + kOwn) break;
      if (entry != "removing") tasks.push_back(entry);
    }
    ASSERT_GE(tasks.size(), 4u);
    Log head = {
        "status:  ...\\Software\\Vendor\\Tool\\Path",
        "regvalue:HKCU\\Software\\Vendor\\Tool|Path",
        "regkey:HKCU\\Software\\Vendor\\Tool",
        "status:  C:\\Program Files\\Tool\\ext.dll",
        "run:C:\\Windows\\System32\\regsvr32.exe|/S /U \"C:\\Program Files\\Tool\\ext.dll\"|C:\\Program Files\\Tool\\",
        "version",
    };
    if (shared) head.erase(head.begin() + 2);
    EXPECT_EQ(Log(tasks.begin(), tasks.begin() + head.size()), head);
    const Log tail = {"status:  C:\\Data\\readme.txt", "delete:C:\\Data\\readme.txt"};
    EXPECT_EQ(Log(tasks.end() - 2, tasks.end()), tail) << "task 6 names a missing file; task 7 is beyond Number";
    EXPECT_EQ(tasks.size(), head.size() + (shared ? 7 : 17) + tail.size())
        << "17 association steps in the first set, less the extension's two and the class's eight when another's";
    EXPECT_EQ(std::count(tasks.begin(), tasks.end(), "regkey:2147483648\\.abc"), shared ? 0 : 1);
    EXPECT_TRUE(platform.files.count("C:\\Data\\never.txt"));
  }
}

TEST_F(HooksTest, AnAutoFileClassIsOursByWhatItWouldStartOrShow) {
  struct Row {
    std::string command;  // empty: the class has none
    std::string icon;
    bool ours;
  };
  const Row rows[] = {
      {"\"" + kOwn + "tool.exe\" \"%1\"", "", true},
      {"C:/Apps//Editor/tool.exe %1", "", true},
      {"C:\\Apps\\\\Editor\\tool.exe %1", "", true},
      {"C:\\Apps\\Editor\\my tools\\..\\..\\Other\\other.exe \"%1\"", "", false},
      {"C:\\Apps\\Editor\\my tools\\..\\tool.exe %1", "", true},
      {"C:\\Apps\\Editor Old\\tool.exe %1", "", false},  // unquoted: "C:\\Apps\\Editor Old\\tool.exe" is there
      {"tool.exe %1", "", false},                        // a name the platform would search for
      {"", "\"" + kOwn + "tool.exe\",0", true},
      {"", kOwn + "..\\Other\\other.exe,1", false},
      {"", "", false},
  };
  for (const Row& row : rows) {
    run = UninstallRun();
    platform = FakePlatform();
    Install("[Settings]\nProgExe=editor.exe\n[UserTask]\nNumber=1\nTask1=10|abc|Tool\n");
    platform.files = {kOwn + "tool.exe", "C:\\Apps\\Other\\other.exe", "C:\\Apps\\Editor Old\\tool.exe"};
    platform.registry_keys = {"2147483648\\abc_auto_file"};
    if (!row.command.empty()) platform.registry["2147483648\\abc_auto_file\\shell\\open\\command|"] = row.command;
    if (!row.icon.empty()) platform.registry["2147483648\\abc_auto_file\\DefaultIcon|"] = row.icon;
    platform.registry["2147483648\\.abc|"] = "abc_auto_file";
    UndoUserTasks(run, platform);
    const bool class_gone = std::count(platform.log.begin(), platform.log.end(), "regkey:2147483648\\abc_auto_file");
    const bool extension_gone = std::count(platform.log.begin(), platform.log.end(), "regkey:2147483648\\.abc");
    EXPECT_EQ(class_gone, row.ours) << row.command << row.icon;
    EXPECT_EQ(extension_gone, row.ours) << "the extension goes and stays with its class: " << row.command << row.icon;
  }
}

TEST_F(HooksTest, NumbersBeyondASignedByteRunNoTasks) {
  Install("[Settings]\nProgExe=editor.exe\n[UserTask]\nNumber=200\nTask1=1|C:\\x.txt\n");
  platform.files = {"C:\\x.txt"};
  HandleControl(run, platform, kOkButtonId);
  EXPECT_TRUE(platform.files.count("C:\\x.txt"));
}

TEST_F(HooksTest, TheAfterProgramRunsBeforeTheFilesGo) {
  Install("[Settings]\nProgExe=editor.exe\n[Files]\nf=editor.exe\n[StartProg]\nAfterUninst=post.exe\nAfterParam=-x\n");
  platform.files = {kOwn + "editor.exe", kOwn + "post.exe"};
  HandleControl(run, platform, kOkButtonId);
  const Log expected = {"run:" + kOwn + "post.exe|-x|" + kOwn, "file:editor.exe"};
  Log seen;
  for (const std::string& entry : platform.log) {
    if (entry.compare(0, 4, "run:") == 0 || entry.compare(0, 5, "file:") == 0) seen.push_back(entry);
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(HooksTest, HooksLeadingOutsideTheInstallationNeverRun) {
  // An administrator's run trusts only its own folder, in a run and in a plan.
  for (const bool plan : {false, true}) {
    run = UninstallRun();
    platform = FakePlatform();
    Install(
        "[Settings]\nProgExe=editor.exe\n[Files]\nf=editor.exe\n[StartProg]\nBeforeUninst=..\\setup\\pre.exe\n"
        "AfterUninst=C:\\Tools\\post.exe\n");
    platform.files = {kOwn + "editor.exe", "C:\\Apps\\setup\\pre.exe", "C:\\Tools\\post.exe"};
    platform.OpenLog("C:\\x.log", false);
    std::optional<PlanPlatform> planned;
    if (plan) planned.emplace(platform);
    const RunPlatform parts = plan ? planned->Parts() : RunPlatform(platform);
    RunStartupHooks(run, parts);
    HandleControl(run, parts, kOkButtonId);
    EXPECT_TRUE(Only("run:").empty()) << plan;
    for (const std::string& hook : {kOwn + "..\\setup\\pre.exe", kOwn + "C:\\Tools\\post.exe"}) {
      const std::string line = "program " + hook + ": passed over, it lies outside the installation";
      EXPECT_NE(std::find(platform.log_lines.begin(), platform.log_lines.end(), line), platform.log_lines.end())
          << line;
    }
  }
}
