#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "driver/plan_platform.h"
#include "driver/run_log.h"
#include "driver/uninstall_sequence.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "privileges/rights.h"
#include "settings/settings_file.h"
#include "ui/confirmation_layout.h"

TEST(OwnDirectory, IsTheExecutablesDirectoryUnlessItIsTheDevelopmentOne) {
  EXPECT_EQ(ChooseOwnDirectory("C:\\App\\uninstall.exe", "", "C:\\Work"), "C:\\App\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\App\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "C:\\App\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\Dev\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "C:\\Work\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\Dev\\uninstall.exe", "C:\\Dev\\", "C:\\"), "C:\\");
  // The comparison is exact: another spelling is not the development directory.
  EXPECT_EQ(ChooseOwnDirectory("c:\\dev\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "c:\\dev\\");
  EXPECT_EQ(ChooseOwnDirectory("D:\\uninstall.exe", "", "C:\\Work"), "D:\\");
}

namespace {

// An older Windows in code page 1252, which ignores the program's UTF-8:
// a letter beyond ASCII has no exact form here (enough for the test).
class OlderWesternSystem final : public WesternFileReader {
 public:
  HeldFileBytes ReadHeldFile(const std::string&) override { return {}; }
  bool Utf8Text(std::string_view utf8, std::string& text) override {
    text.assign(utf8);
    return std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  }
};

}  // namespace

TEST(MissingSettingsBox, NamesThePathTriedInTheUsersLanguage) {
  struct Row {
    uint16_t ui_language;
    const char* caption;
    const char* first_line;
  };
  const Row rows[] = {
      {0x0409, " Quillmarn - Error", "Could not find 'uninstall.dat':"},
      {0x0407, " Quillmarn - Fehler", "Die Datei „uninstall.dat“ wurde nicht gefunden:"},
      {0x0C07, " Quillmarn - Fehler", "Die Datei „uninstall.dat“ wurde nicht gefunden:"},  // Austria
      {0x0419, " Quillmarn - Ошибка", "Не найден файл «uninstall.dat»:"},
      {0x0804, " Quillmarn - 错误", "找不到“uninstall.dat”："},
      {0x0404, " Quillmarn - Error", "Could not find 'uninstall.dat':"},  // Traditional: English
      {0x0411, " Quillmarn - エラー", "「uninstall.dat」が見つかりません："},
      {0x0413, " Quillmarn - Error", "Could not find 'uninstall.dat':"},  // Dutch: none here
  };
  for (const Row& row : rows) {
    const MessageText box =
        MissingSettingsMessage("C:\\App\\uninstall.dat", FirstBoxes(StagedFiles(), row.ui_language).Texts());
    EXPECT_EQ(box.caption, row.caption) << row.ui_language;
    EXPECT_EQ(box.text, std::string(row.first_line) + "\nC:\\App\\uninstall.dat") << row.ui_language;
    EXPECT_EQ(box.style, 0x10u);
  }
  // Where the system's code page cannot hold the user's language, English.
  OlderWesternSystem older;
  EXPECT_EQ(InexactPathMessage("C:\\Lapp\\uninstall.exe", FirstBoxes(older, 0x0419).Texts()).caption,
            " Quillmarn - Error");
  EXPECT_EQ(InexactPathMessage("C:\\Lapp\\uninstall.exe", FirstBoxes(older, 0x0407).Texts()).caption,
            " Quillmarn - Error");
}

namespace {

using Log = std::vector<std::string>;
const std::string kOwn = "C:\\Apps\\Editor\\";

// Runs the whole sequence on the fake platform, with uninstall.dat staged
// (unless dat is empty) and the user pressing the given controls.
Log RunWith(const std::string& dat, FakePlatform& platform, UninstallRun& run, std::vector<int> controls,
            const std::string& arguments = std::string(), uint32_t exit_code = 0) {
  ClearStagedFiles();
  if (!dat.empty()) {
    StageFile(kOwn + "uninstall.dat", dat);
  }
  platform.controls = std::move(controls);
  EXPECT_EQ(RunUninstall(run, platform, "", "\"" + kOwn + "uninstall.exe\" " + arguments), exit_code) << arguments;
  EXPECT_EQ(HeldFileCount(), 0);
  return platform.log;
}

}  // namespace

TEST(RunUninstall, StartsInItsFixedOrderAndEndsWithTheWindowAndTheRights) {
  struct Case {
    const char* settings;
    bool administrator;
    Log expected;
  };
  const Log cancel = {"control:6", "end impersonation", "close window"};
  auto then = [&cancel](Log start) {
    start.insert(start.end(), cancel.begin(), cancel.end());
    return start;
  };
  const Case cases[] = {
      {"", false, then({"window"})},
      {"LoginAdmin=1\n", false, then({"administrator?", "window", "logon"})},
      {"LoginAdmin=1\n", true, then({"administrator?", "window"})},
      {"LoginAdmin=256\n", false, then({"window"})},
      {"NoDelAll=1\nProgDir=C:\\Apps\\Editor\n", false, then({"window", "hide option"})},
      {"NoDelAll=1\nProgDir=C:\\Apps\\Other\n", false, then({"window"})},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.administrator = c.administrator;
    UninstallRun run;
    EXPECT_EQ(RunWith(std::string("[Settings]\nProgName=Editor\n") + c.settings, platform, run, {kCancelButtonId}),
              c.expected)
        << c.settings;
  }
}

TEST(RunUninstall, EndsEarlyWithoutSettingsOrWindowAndWhenTheEventsEnd) {
  FakePlatform missing;
  UninstallRun run;
  EXPECT_EQ(RunWith("", missing, run, {}),
            Log{"box: Quillmarn - Error|Could not find 'uninstall.dat':\n" + kOwn + "uninstall.dat|16"});

  FakePlatform running;
  running.mutexes = {"EditorMutex"};
  UninstallRun run2;
  EXPECT_EQ(RunWith("[Settings]\nMutexString=EditorMutex\n", running, run2, {}),
            Log{"box:Uninstall Program|Close Program '' first!\nThen press OK!|48"});

  FakePlatform no_window;
  no_window.window_opens = false;
  UninstallRun run3;
  EXPECT_EQ(RunWith("[Settings]\n", no_window, run3, {kCancelButtonId}), Log{"window"});

  // The window's events ended without a button: the end is the same.
  FakePlatform quit;
  UninstallRun run4;
  EXPECT_EQ(RunWith("[Settings]\n", quit, run4, {}), (Log{"window", "end impersonation", "close window"}));
}

TEST(RunUninstall, InAShellFolderTheOptionIsHiddenAndTheDirectoryKept) {
  FakePlatform platform;
  platform.shell_folders = {"C:\\Apps\\Editor", "C:\\Windows"};
  UninstallRun run;
  const Log log = RunWith("[Settings]\n", platform, run, {kCancelButtonId});
  EXPECT_EQ(log, (Log{"window", "hide option", "control:6", "end impersonation", "close window"}));
  EXPECT_TRUE(run.shared_directory);
}

TEST(RunUninstall, FromTheDevelopmentDirectoryTheCurrentDirectoryIsTheOwnOne) {
  FakePlatform platform;
  platform.module_path = "C:\\Dev\\uninstall.exe";
  platform.current_directory = "C:\\Apps\\Editor";
  UninstallRun run;
  ClearStagedFiles();
  StageFile(kOwn + "uninstall.dat", "[Settings]\nProgName=Editor\n");
  platform.controls = {kCancelButtonId};
  EXPECT_EQ(RunUninstall(run, platform, "C:\\Dev\\", "C:\\Dev\\uninstall.exe"), 0u);
  EXPECT_EQ(run.settings.own_directory, kOwn);
  EXPECT_EQ(run.texts.program_name, "Editor");
}

TEST(CommandLine, SplitsAsTheCRuntimeDoes) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> lines = {
      {"uninstall.exe", {}},
      {"\"C:\\Program Files\\App\\uninstall.exe\" /S", {"/S"}},
      {"C:\\App\\uninstall.exe  /S\t-log", {"/S", "-log"}},
      {"u.exe \"/LOG=C:\\a b\\x.log\"", {"/LOG=C:\\a b\\x.log"}},
      {"u.exe /LOG=\"C:\\a b\\x.log\"", {"/LOG=C:\\a b\\x.log"}},
      {"u.exe a\\\\b c\\\\\\\"d \"e\"\"f\" \"\"", {"a\\\\b", "c\\\"d", "e\"f", ""}},
      {"u.exe \"a b", {"a b"}},
  };
  for (const auto& line : lines) EXPECT_EQ(SplitArguments(line.first), line.second) << line.first;
}

TEST(CommandLine, KnowsItsSwitchesInAnyCaseAndNothingElse) {
  const CommandLine none = ParseCommandLine("uninstall.exe");
  EXPECT_TRUE(none.valid);
  EXPECT_FALSE(none.unattended || none.log);
  for (const char* silent : {"u.exe /S", "u.exe -s", "u.exe /silent", "u.exe /VerySilent"}) {
    const CommandLine line = ParseCommandLine(silent);
    EXPECT_TRUE(line.valid && line.unattended && !line.log) << silent;
  }
  const CommandLine both = ParseCommandLine("u.exe /s \"/log=C:\\a b\\x.log\"");
  EXPECT_TRUE(both.valid && both.unattended && both.log);
  EXPECT_EQ(both.log_path, "C:\\a b\\x.log");
  const CommandLine bare = ParseCommandLine("u.exe /LOG");
  EXPECT_TRUE(bare.log && bare.log_path.empty());
  const CommandLine plan = ParseCommandLine("u.exe /LOG=p.log /plan");
  EXPECT_TRUE(plan.valid && plan.plan && plan.unattended && plan.log && plan.log_path == "p.log");
  EXPECT_EQ(none.timeout_seconds, 900u);
  EXPECT_EQ(ParseCommandLine("u.exe /S /timeout=2").timeout_seconds, 2u);
  EXPECT_EQ(ParseCommandLine("u.exe /S /TIMEOUT=0").timeout_seconds, 0u);
  for (const char* wrong :
       {"u.exe S", "u.exe /S=1", "u.exe /Silentx", "u.exe /?", "u.exe \"\"", "u.exe /LOGS", "u.exe /PLAN=x",
        "u.exe /TIMEOUT", "u.exe /TIMEOUT=", "u.exe /TIMEOUT=-1", "u.exe /TIMEOUT=5s", "u.exe /TIMEOUT=99999999"}) {
    EXPECT_FALSE(ParseCommandLine(wrong).valid) << wrong;
  }
  EXPECT_EQ(ExitCodeFor(RunResult::kFailed, true), 1603u);
  EXPECT_EQ(ExitCodeFor(RunResult::kFailed, false), 0u) << "the user's run always ends with 0";
}

TEST(RunUninstall, UnattendedEachCauseEndsWithItsCodeAndNoBoxOrWindow) {
  struct Case {
    const char* what;
    std::string dat;
    uint32_t code;
  };
  const std::string program = "[Settings]\nProgName=Editor\nProgExe=editor.exe\nGUID={E1}\n";
  const Case cases[] = {
      {"removed", program + "[Files]\nf=editor.exe\n", 0},
      {"no uninstall.dat", "", 1605},
      {"the program runs", program + "MutexString=EditorRuns\n", 1618},
      {"the before-uninstall program says no", program + "[StartProg]\nBeforeUninst=pre.exe\n", 1602},
      {"administrator rights needed", program + "LoginAdmin=1\n", 740},
      {"nothing could be removed", program + "[Files]\nf=gone.dll\n", 1603},
      {"a file in use goes at the restart", program + "[Files]\nf=editor.exe\nf2=shell.dll\n", 3010},
      {"the before-uninstall program outlives the wait",
       program + "[StartProg]\nBeforeUninst=hang.exe\n[Files]\nf=editor.exe\n", 1603},
      {"the after-uninstall program outlives the wait",
       program + "[StartProg]\nAfterUninst=hang.exe\n[Files]\nf=editor.exe\n", 1603},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files = {kOwn + "editor.exe", kOwn + "pre.exe", kOwn + "hang.exe"};
    platform.hanging = {kOwn + "hang.exe"};
    platform.in_use = {kOwn + "shell.dll"};
    platform.mutexes = {"EditorRuns"};
    platform.exit_codes[kOwn + "pre.exe"] = 1;
    UninstallRun run;
    const Log log = RunWith(c.dat, platform, run, {kOkButtonId}, "/S /LOG=C:\\x.log", c.code);
    for (const std::string& entry : log) {
      EXPECT_NE(entry, "window") << c.what;
      EXPECT_NE(entry.compare(0, 4, "box:"), 0) << c.what << ": " << entry;
      EXPECT_NE(entry, "logon") << c.what;
    }
    EXPECT_EQ(platform.log_lines.back(), "end, exit code " + std::to_string(c.code)) << c.what;
    if (c.dat.find("BeforeUninst=hang") != std::string::npos) {
      EXPECT_TRUE(platform.files.count(kOwn + "editor.exe")) << "nothing is removed after it";
    } else if (c.dat.find("AfterUninst=hang") != std::string::npos) {
      EXPECT_FALSE(platform.files.count(kOwn + "editor.exe")) << "the run went on";
    }
    const bool restart = std::count(log.begin(), log.end(), "status:  " + run.texts[UiText::kRestart]) == 1;
    EXPECT_EQ(restart, c.code == 3010) << c.what << ": the last text says a restart completes the removal";
  }
}

TEST(RunUninstall, AnOwnPathWithLettersChangedActsOnNothing) {
  // "C:\Apps\Editor" is the nearest the system found for "C:\Apps\Łditor".
  const std::string dat = "[Settings]\nProgName=Editor\n[StartProg]\nBeforeUninst=pre.exe\n[Files]\nf=pre.exe\n";
  for (const bool unattended : {false, true}) {
    FakePlatform platform;
    platform.files = {kOwn + "pre.exe"};
    platform.exact_module_path =
        "C:\\Apps\\\xC5\x81"
        "ditor\\uninstall.exe";
    UninstallRun run;
    const Log log =
        RunWith(dat, platform, run, {kOkButtonId}, unattended ? "/S /LOG=C:\\x.log" : "", unattended ? 1603 : 0);
    const Log expected = {"box: Quillmarn - Error|" +
                          InexactPathMessage(kOwn + "uninstall.exe", FirstBoxTextsFor(0x0409)).text + "|16"};
    EXPECT_EQ(log, unattended ? Log{} : expected);
    EXPECT_EQ(platform.files, (std::set<std::string>{kOwn + "pre.exe"}));
    EXPECT_TRUE(platform.FileExists(kOwn + "uninstall.dat"));
    EXPECT_TRUE(run.texts.program_name.empty()) << "the other folder's uninstall.dat is never read";
    if (unattended) {
      EXPECT_EQ(platform.log_lines.back(), "end, exit code 1603");
    }
  }
  EXPECT_TRUE(OwnPathIsExact({u"C:\\\u0141\\u.exe", u"C:\\\u0141\\u.exe"}));
  EXPECT_FALSE(OwnPathIsExact({u"C:\\\u0141\\u.exe", u""})) << "a form that could not be made";
  EXPECT_FALSE(OwnPathIsExact({u"", u""})) << "a path the system could not give";
}

TEST(RunUninstall, UnattendedRemovalIsTheListedOneAndThenReady) {
  FakePlatform platform;
  platform.files = {kOwn + "editor.exe"};
  platform.delete_all_checked = true;  // no one can have chosen it: it stays unused
  UninstallRun run;
  const Log log = RunWith("[Settings]\nProgExe=editor.exe\nGUID={E1}\n[Files]\nf=editor.exe\n[Dirs]\nd=data\n",
                          platform, run, {}, "/S");
  const Log expected = {"removing", "hold:" + kOwn, "file:editor.exe", "status:  " + kOwn + "editor.exe"};
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(Log(log.begin(), log.begin() + 4), expected) << "no product key: that takes delete-all";
  EXPECT_EQ(log.back(), "batch:" + kOwn) << "what Ready does comes last";
  EXPECT_TRUE(platform.log_opened.empty());
}

TEST(RunUninstall, CommandLinesAndLogsThatCannotBeUsedChangeNothing) {
  FakePlatform interactive;
  UninstallRun run;
  EXPECT_EQ(RunWith("[Settings]\n", interactive, run, {}, "/X"),
            Log{"box: Quillmarn - Error|" + ReplaceAll(UiTexts()[UiText::kUsage], "|", "\n") + "|16"});
  // In the author's words, read from the right where the texts are (MB_RTLREADING | MB_RIGHT).
  FakePlatform hebrew;
  UninstallRun run_he;
  EXPECT_EQ(
      RunWith("\xEF\xBB\xBF[Language]\nRightToLeft=1\nBoxTitel=שגיאה\nUsage=שימוש: uninstall.exe [/S]|/S  ללא חלון\n",
              hebrew, run_he, {}, "/X"),
      Log{"box: שגיאה|שימוש: uninstall.exe [/S]\n/S  ללא חלון|" + std::to_string(0x10 | 0x100000 | 0x80000)});
  FakePlatform unattended;
  UninstallRun run2;
  EXPECT_TRUE(RunWith("[Settings]\n", unattended, run2, {}, "/S /X", 1639).empty());

  FakePlatform unwritable;
  unwritable.log_opens = false;
  UninstallRun run3;
  EXPECT_TRUE(RunWith("[Settings]\n", unwritable, run3, {}, "/S /LOG=Q:\\x.log", 1622).empty());
  EXPECT_EQ(unwritable.standard_error, Log{"Could not write the log: Q:\\x.log it cannot be written"})
      << "the deployment tool reads why";
  UninstallRun run4;
  unwritable.log.clear();
  EXPECT_EQ(RunWith("[Settings]\n", unwritable, run4, {}, "/LOG=Q:\\x.log"),
            Log{"box: Quillmarn - Error|Could not write the log:\nQ:\\x.log\nit cannot be written|16"});

  // /LOG alone names a log of the product's own in the temporary directory.
  FakePlatform named;
  UninstallRun run5;
  RunWith("[Settings]\nProgName=Ed/it:or\n", named, run5, {kCancelButtonId}, "/LOG");
  EXPECT_EQ(named.log_opened, "C:\\Temp\\Ed-it-or uninstall 2026-12-07 09-05-03 0badcafe.log");
  EXPECT_TRUE(named.log_fresh) << "a log of its own is made new, never one that stands";
  EXPECT_EQ(named.log_lines.front(), "start: \"" + kOwn + "uninstall.exe\" /LOG");
  EXPECT_EQ(named.log_lines[1], "mode: interactive");
  EXPECT_EQ(named.log_lines.back(), "end, exit code 0");
}

namespace {

// The system under a plan: any changing call that reaches it fails the test.
class ChangesNothing final : public FakePlatform {
 public:
  RemovalResult DeleteRegistryValue(RegistryRoot, const std::string& key, const std::string& value) override {
    ADD_FAILURE() << "a plan deleted " << key << "|" << value;
    return {Outcome::kFailed, 0};
  }
  RemovalResult DeleteRegistryKey(RegistryRoot, const std::string& key) override {
    ADD_FAILURE() << "a plan deleted " << key;
    return {Outcome::kFailed, 0};
  }
  std::string StartSelfDeleteBatch(const std::string& own) override {
    ADD_FAILURE() << "a plan started the batch " << own;
    return {};
  }
};

}  // namespace

TEST(PlanPlatform, TheRegistryIsSeenAsTheRunWouldHaveLeftIt) {
  ChangesNothing system;
  system.log_opened = "C:\\plan.log";
  system.registry = {{"2147483648\\Applications\\Tool\\shell\\open\\command|", "tool.exe"},
                     {"HKCU\\Software\\Shared|Path", "ours"},
                     {"HKCU\\Software\\Shared|Other", "theirs"},
                     {"HKLM\\Software\\Locked|Path", "ours"},
                     {"HKCU\\Software\\Solo|V", "ours"}};
  system.registry_denied = {"HKLM\\Software\\Locked"};
  PlanPlatform plan(system);
  const RunPlatform parts = plan.Parts();
  // A file association's chain, deepest first: each key is empty once the one below it would be gone.
  EXPECT_TRUE(DeleteValue(parts, kClassesRoot, "Applications\\Tool\\shell\\open\\command", ""));
  for (const char* key : {"Applications\\Tool\\shell\\open\\command", "Applications\\Tool\\shell\\open",
                          "Applications\\Tool\\shell", "Applications\\Tool"}) {
    EXPECT_TRUE(DeleteKey(parts, kClassesRoot, key)) << key;
  }
  std::string text;
  EXPECT_FALSE(plan.registry.ReadRegistryValue(kClassesRoot, "Applications\\Tool\\shell\\open\\command", "", text));
  EXPECT_FALSE(plan.registry.RegistryKeyHolds(kClassesRoot, "Applications\\Tool").exists);
  EXPECT_EQ(plan.registry.RegistryKeyHolds(kClassesRoot, "Applications").subkeys, 0u);
  // A value deleted twice, once in other letters, is one value: the other program's stays.
  EXPECT_TRUE(DeleteValue(parts, kCurrentUser, "Software\\Shared", "Path"));
  EXPECT_FALSE(DeleteValue(parts, kCurrentUser, "software\\shared", "PATH"));
  EXPECT_EQ(plan.registry.RegistryKeyHolds(kCurrentUser, "Software\\Shared").values, 1u);
  EXPECT_TRUE(plan.registry.ReadRegistryValue(kCurrentUser, "Software\\Shared", "Other", text));
  // The run makes a value's absent key on its way, and every key missing above it.
  EXPECT_FALSE(DeleteValue(parts, kCurrentUser, "Software\\New\\Sub", "X"));
  EXPECT_TRUE(plan.registry.RegistryKeyHolds(kCurrentUser, "Software\\New\\Sub").exists);
  EXPECT_EQ(plan.registry.RegistryKeyHolds(kCurrentUser, "Software\\New").subkeys, 1u);
  EXPECT_TRUE(DeleteKey(parts, kCurrentUser, "Software\\New\\Sub")) << "its own to delete again";
  // Where the run's account may not change a key, the run would be refused.
  EXPECT_FALSE(DeleteValue(parts, kLocalMachine, "Software\\Locked", "Path"));
  // A record named twice: its key goes, is made again by the second
  // deletion of its value, and goes again.
  for (int time = 0; time < 2; ++time) {
    DeleteValue(parts, kCurrentUser, "Software\\Solo", "V");
    ASSERT_TRUE(plan.registry.RegistryKeyHolds(kCurrentUser, "Software\\Solo").exists) << time;
    EXPECT_TRUE(DeleteKey(parts, kCurrentUser, "Software\\Solo")) << time;
  }
  EXPECT_FALSE(plan.registry.RegistryKeyHolds(kCurrentUser, "Software\\Solo").exists);
  // One key by two names: deleted through one, it is gone through the other.
  system.registry["HKLM\\Software\\Classes\\.qm|"] = "qm_file";
  system.registry["2147483648\\.qm|"] = "qm_file";
  system.registry_aliases = {{"2147483648", "\\REGISTRY\\MACHINE\\SOFTWARE\\CLASSES"},
                             {"HKLM\\Software\\Classes", "\\REGISTRY\\MACHINE\\SOFTWARE\\CLASSES"}};
  EXPECT_TRUE(DeleteKey(parts, kLocalMachine, "Software\\Classes\\.qm"));
  EXPECT_FALSE(plan.registry.ReadRegistryValue(kClassesRoot, ".qm", "", text));
  EXPECT_FALSE(DeleteKey(parts, kClassesRoot, ".qm")) << "absent through its alias";
  system.registry_aliases.clear();
  // A path the registry refuses is refused alike: nothing made on the way.
  EXPECT_FALSE(DeleteValue(parts, kCurrentUser, "\\Software\\Bad", "X"));
  EXPECT_FALSE(DeleteKey(parts, kCurrentUser, "\\Software\\Bad"));
  EXPECT_EQ(system.log_lines, (Log{"registry value HKCR\\Applications\\Tool\\shell\\open\\command|: would be removed",
                                   "registry key HKCR\\Applications\\Tool\\shell\\open\\command: would be removed",
                                   "registry key HKCR\\Applications\\Tool\\shell\\open: would be removed",
                                   "registry key HKCR\\Applications\\Tool\\shell: would be removed",
                                   "registry key HKCR\\Applications\\Tool: would be removed",
                                   "registry value HKCU\\Software\\Shared|Path: would be removed",
                                   "registry value HKCU\\software\\shared|PATH: absent",
                                   "registry key HKCU\\Software\\New: would be made on the way, empty",
                                   "registry key HKCU\\Software\\New\\Sub: would be made on the way, empty",
                                   "registry value HKCU\\Software\\New\\Sub|X: absent",
                                   "registry key HKCU\\Software\\New\\Sub: would be removed",
                                   "registry value HKLM\\Software\\Locked|Path: would stay, access denied",
                                   "registry value HKCU\\Software\\Solo|V: would be removed",
                                   "registry key HKCU\\Software\\Solo: would be removed",
                                   "registry key HKCU\\Software\\Solo: would be made on the way, empty",
                                   "registry value HKCU\\Software\\Solo|V: absent",
                                   "registry key HKCU\\Software\\Solo: would be removed",
                                   "registry key HKLM\\Software\\Classes\\.qm: would be removed",
                                   "registry key HKCR\\.qm: absent",
                                   "registry value HKCU\\\\Software\\Bad|X: would stay, error 161",
                                   "registry key HKCU\\\\Software\\Bad: would stay, error 161"}));
}

namespace {

// Every kind of step: links, the product's registration, a registry record,
// a library, a task's file, the hooks and a script, files and directories; a
// [Dirs] value before one inside it, a value outside, and a program file no
// [Files] value names.
const std::string kEveryStep =
    "ProgName=Editor\nProgExe=editor.exe\nGUID={E1}\nScript=1\nStartMenu=C:\\Menu\\Editor\n"
    "[StartProg]\nBeforeUninst=pre.exe\nAfterUninst=post.exe\n[StartMenu]\nProgram=C:\\Menu\\Editor\\Editor.lnk\n"
    "[UserTask]\nNumber=3\nTask1=6|2147483650|Software\\Editor|Path\nTask2=9|C:\\Windows\\System32\\|" +
    kOwn +
    "ext.dll\nTask3=1|C:\\Tasks\\e.txt\n[Files]\nf1=core.dll\nf2=..\\outside.dll\nf3=gone.dll\n"
    "[Dirs]\nd1=lib\nd2=lib\\sub\n";

void StageEveryStep(FakePlatform& platform) {
  platform.files = {kOwn + "editor.exe", kOwn + "core.dll",      kOwn + "pre.exe",
                    kOwn + "post.exe",   kOwn + "uninstall.vbs", "C:\\Menu\\Editor\\Editor.lnk",
                    "C:\\Tasks\\e.txt"};
  platform.empty_dirs = {kOwn + "lib\\sub"};
  platform.registry = {{"HKLM\\Software\\Editor|Path", ""}};
  // A user's file and folder beside the program, and the product's key:
  // delete-all takes the file and the key, never the folder.
  platform.entries["C:\\Apps\\Editor"] = {"uninstall.exe", "letter.doc", "photos\\"};
  platform.entries["C:\\Apps\\Editor\\photos"] = {"a.jpg"};
  platform.registry_keys = {"HKCU\\SOFTWARE\\Quillmarn\\{E1}"};
}

}  // namespace

TEST(RunUninstall, APlanChangesNothingAndTellsEveryStep) {
  const std::string& dat = kEveryStep;
  for (const bool running : {false, true}) {
    FakePlatform platform;
    StageEveryStep(platform);
    platform.exit_codes[kOwn + "pre.exe"] = 1;  // would say no: a plan runs nothing
    if (running) platform.mutexes = {"EditorRuns"};
    UninstallRun run;
    const Log log = RunWith((running ? "[Settings]\nMutexString=EditorRuns\n" : "[Settings]\n") + dat, platform, run,
                            {}, "/PLAN /LOG=C:\\plan.log", 0);
    for (const std::string& entry : log) {
      for (const char* change : {"delete:", "rmdir:", "file", "emptydir:", "tree:", "regvalue:", "regkey:", "batch:",
                                 "run:", "script:", "logon", "window", "box:"}) {
        EXPECT_NE(entry.compare(0, std::strlen(change), change), 0) << "a plan changed something: " << entry;
      }
    }
    EXPECT_EQ(platform.files.size(), 7u);
    EXPECT_TRUE(platform.FileExists(kOwn + "uninstall.dat"));
    EXPECT_EQ(platform.log_opened, "C:\\plan.log");
    const Log& plan = platform.log_lines;
    const auto told = [&](const std::string& line) { return std::count(plan.begin(), plan.end(), line) == 1; };
    for (const std::string& line :
         {std::string("mode: plan, nothing is changed"),
          std::string(running ? "running-program check: running" : "running-program check: not running"),
          "program " + kOwn + "pre.exe : would run; what it changes itself is not in this plan",
          std::string("if it answered 1, an unattended run would end here, exit code 1602"),
          std::string("registry value HKLM\\Software\\Editor|Path: would be removed"),
          std::string("registry key HKLM\\Software\\Editor: would be removed"),
          "program C:\\Windows\\System32\\regsvr32.exe /S /U \"" + kOwn +
              "ext.dll\": would run; what it changes itself is not in this plan",
          "file " + kOwn + "core.dll: would be removed",
          "file " + kOwn + "gone.dll: absent",
          "file " + kOwn + "..\\outside.dll: would stay, passed over, it lies outside the installation",
          "directory " + kOwn + "lib\\sub: would be removed",
          "file " + kOwn + "uninstall.dat: would be removed",
          "self-deleting batch: would remove " + kOwn + "uninstall.exe, then the directory when it is empty: " + kOwn,
          std::string("delete-all would also remove:"),
          std::string("  editor.exe"),  // the program's file, which no [Files] value names
          std::string("  registry key HKCU\\SOFTWARE\\Quillmarn\\{E1}"),
          std::string("a file that a running program has mapped (a library in use) is told as would be removed: an "
                      "administrator's run leaves it to the next restart, exit code 3010; a standard user's run keeps "
                      "it and ends without 3010"),
          "note: a [Files] value names nothing: " + kOwn + "gone.dll",
          "note: a [Files] value leads outside the installation: " + kOwn + "..\\outside.dll",
          std::string("note: the [Dirs] value lib comes before lib\\sub, which lies inside it"),
          std::string("note: no [Files] value names the program, ProgExe editor.exe"),
          std::string("end, exit code 0")}) {
      EXPECT_TRUE(told(line)) << line;
    }
    EXPECT_EQ(told("an unattended run would end here, exit code 1618"), running);
    EXPECT_FALSE(told("  photos\\ (1 entry)")) << "delete-all keeps the user's folder: no line of its own";
    // A plan's list says what would stay, and a script it did not run has no line of its host.
    for (const std::string& line : plan) {
      EXPECT_NE(line.compare(0, 12, "what stayed:"), 0) << line;
      EXPECT_EQ(line.find("script host"), std::string::npos) << line;
    }
    EXPECT_EQ(std::count_if(plan.begin(), plan.end(),
                            [](const std::string& line) { return line.compare(0, 16, "what would stay:") == 0; }),
              1);
  }
}

TEST(RunUninstall, APlansLogIsTheRunsLineByLine) {
  // The same installation planned and then removed unattended: each line of
  // the plan stands where the run's line stands, with the same subject, and
  // says in a plan's words what the run then did.
  FakePlatform planned, done;
  for (FakePlatform* platform : {&planned, &done}) {
    StageEveryStep(*platform);
    platform->exit_codes = {{kOwn + "pre.exe", 0}, {kOwn + "post.exe", 0}, {"C:\\Windows\\System32\\regsvr32.exe", 0}};
  }
  UninstallRun plan_run, run;
  RunWith("[Settings]\n" + kEveryStep, planned, plan_run, {}, "/PLAN /LOG=C:\\x.log", 0);
  RunWith("[Settings]\n" + kEveryStep, done, run, {}, "/S /LOG=C:\\x.log", 0);
  // What only a plan tells: keys made on the way, what a program's answer
  // would do, and from delete-all on, its tail.
  Log plan, ran;
  for (const std::string& line : planned.log_lines) {
    if (line == "delete-all would also remove:") break;
    if (line.find(": would be made on the way") == std::string::npos && line.compare(0, 12, "if it answer") != 0) {
      plan.push_back(line);
    }
  }
  for (const std::string& line : done.log_lines) {
    if (line.compare(0, 5, "end, ") != 0) ran.push_back(line);
  }
  ASSERT_EQ(plan.size(), ran.size()) << ::testing::PrintToString(plan) << ::testing::PrintToString(ran);
  ASSERT_GT(plan.size(), 20u);
  for (size_t i = 2; i < plan.size(); ++i) {  // after the start and the mode
    const std::string told = ReplaceAll(plan[i], "what would stay:", "what stayed:");
    const size_t colon = told.find(": ");
    ASSERT_NE(colon, std::string::npos) << told;
    EXPECT_EQ(told.substr(0, colon), ran[i].substr(0, colon)) << told << "\n" << ran[i];
    const std::string words = told.substr(colon + 2), done_words = ran[i].substr(std::min(colon + 2, ran[i].size()));
    if (words == "would be removed") {
      EXPECT_EQ(done_words, "removed") << ran[i];
    } else if (words.compare(0, 12, "would stay, ") == 0) {
      EXPECT_EQ(done_words, words.substr(12)) << ran[i];
    } else if (words.compare(0, 6, "would ") != 0) {
      EXPECT_EQ(done_words, words) << ran[i];
    }
  }
}

TEST(Rights, DecidedByUserAccountControlElevationAndWhoCanBeAsked) {
  const struct {
    RightsState state;  // login_admin, administrator, uac_on, unattended, started_elevated
    RightsStep step;
  } rows[] = {
      {{false, false, true, false, false}, RightsStep::kGoOn},
      {{true, true, true, true, false}, RightsStep::kGoOn},
      {{true, false, true, false, false}, RightsStep::kElevate},
      {{true, false, true, false, true}, RightsStep::kGoOn},  // the elevated run never asks again
      {{true, false, false, false, false}, RightsStep::kLogonWindow},
      {{true, false, false, false, true}, RightsStep::kLogonWindow},
      {{true, false, true, true, false}, RightsStep::kNeedsAdministrator},
      {{true, false, false, true, false}, RightsStep::kNeedsAdministrator},
  };
  for (const auto& row : rows) {
    const RightsState& s = row.state;
    EXPECT_EQ(DecideRights(s), row.step) << s.login_admin << s.administrator << s.uac_on << s.unattended
                                         << s.started_elevated;
  }
  EXPECT_TRUE(ParseCommandLine("u.exe /elevated").elevated);

  // With User Account Control on, the prompt comes before any window or
  // hook; the elevated run's exit code is the run's, and a declined prompt
  // leaves the run to go on with the user's own rights.
  for (const bool declined : {false, true}) {
    FakePlatform platform;
    platform.uac_on = true;
    platform.elevated = declined ? ProgramOutcome{} : ProgramOutcome{true, 1618};
    UninstallRun run;
    const Log log = RunWith("[Settings]\nProgName=Editor\nLoginAdmin=1\n", platform, run, {kCancelButtonId}, "/LOG=x",
                            declined ? 0 : 1618);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1], "elevate:/ELEVATED /LOG=C:\\Work\\x") << "the log by its full path, which the child opens";
    EXPECT_EQ(log.size() > 2 && log[2] == "window", declined);
    EXPECT_EQ(std::count(log.begin(), log.end(), "logon"), 0);
    EXPECT_EQ(platform.log_lines.empty() ? "" : platform.log_lines.back(),
              declined ? "end, exit code 0" : "the elevated run ended, exit code 1618");
  }
}

TEST(Rights, TheElevatedRunIsToldEverySwitchFirstTheElevationAndTheLogInFull) {
  struct Row {
    const char* line;
    const char* full_log;
    const char* arguments;
  };
  const Row rows[] = {
      {"u.exe", "", "/ELEVATED"},
      // An unclosed quote swallows nothing that follows it.
      {"u.exe /S /LOG=\"C:\\a b.log", "C:\\a b.log", "/ELEVATED /S \"/LOG=C:\\a b.log\""},
      {"u.exe /LOG=rel\\x.log", "D:\\Work\\rel\\x.log", "/ELEVATED /LOG=D:\\Work\\rel\\x.log"},
      {"u.exe /LOG /PLAN /TIMEOUT=60", "", "/ELEVATED /PLAN /LOG /TIMEOUT=60"},
      {"u.exe \"/LOG=C:\\odd \\\"name\\\"\\\\\"", "C:\\odd \\\"name\\\"\\",
       "/ELEVATED \"/LOG=C:\\odd \\\\\\\"name\\\\\\\"\\\\\""},
  };
  for (const Row& row : rows) {
    const CommandLine line = ParseCommandLine(row.line);
    const std::string arguments = ElevatedArguments(line, row.full_log);
    EXPECT_EQ(arguments, row.arguments) << row.line;
    // The child reads back what the first run was told, and that it is the elevated one.
    const CommandLine child = ParseCommandLine("u.exe " + arguments);
    EXPECT_TRUE(child.valid && child.elevated) << arguments;
    EXPECT_EQ(child.log_path, row.full_log) << arguments;
    EXPECT_EQ(child.unattended, line.unattended);
    EXPECT_EQ(child.plan, line.plan);
    EXPECT_EQ(child.timeout_seconds, line.timeout_seconds);
  }
}

TEST(RunLog, DevicesAreRefusedBeforeTheyAreOpened) {
  // Devices by name, and every spelling that reaches the object manager.
  for (const char* device : {"NUL", "nul.log", "C:\\logs\\COM1.txt", "lpt9", "CON:", "C:\\x\\aux .log", "conout$",
                             "\\\\.\\PhysicalDrive0", "\\\\?\\C:\\logs\\x.log", "\\\\?\\UNC\\server\\share\\x.log",
                             "//./pipe/x", "//?/C:/x.log", "\\??\\C:\\x.log", "\\\\.//x"}) {
    EXPECT_EQ(LogPathRefusal(device), LogRefusal::kDevice) << device;
  }
  for (const char* file : {"C:\\logs\\x.log", "COM10.log", "C:\\console\\run.log", "\\\\server\\share\\nul-not.log",
                           "C:/logs/x.log", "\\\\server\\share\\x.log"}) {
    EXPECT_EQ(LogPathRefusal(file), LogRefusal::kNone) << file;
  }
}
