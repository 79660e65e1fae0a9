// The administrator's run: /S never shows a window and tells its end by the
// exit code; /LOG writes what was done.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness_win32.h"
#include "linux_side_win32.h"
#include "platform/owners_win32.h"
#include "probes_win32.h"

namespace {

constexpr DWORD kWait = 30000;
const std::string kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{QM-SILENT}";
// The [Settings] of the staged program, whose executable is the one named.
std::string SettingsFor(const std::string& program) {
  return "[Settings]\r\nProgName=Editor\r\nProgExe=" + program + "\r\nGUID={QM-SILENT}\r\n";
}
const std::string kSettings = SettingsFor("editor.exe");

std::string DirectoryOfPath(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

bool EntryExists() {
  RegistryKey key;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEntry.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

class Unattended : public ::testing::Test {
 protected:
  Unattended() : install("Editor") {}

  void SetUp() override {
    install.Write("editor.exe", "MZ");
    install.MakeDir("data");
    install.Write("data\\notes.txt", "the user's");
    RegistryKey key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEntry.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    RegSetValueExA(key.Get(), "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>("Editor"), 7);
  }
  void TearDown() override {
    EXPECT_TRUE(WaitForBatchToFinish(kWait));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntry.c_str());
  }

  // Runs the staged uninstaller with the arguments to its end, watching that
  // no window of it appears meanwhile; the exit code.
  DWORD Run(const std::string& arguments) {
    RunningUninstaller run(install.Exe(), std::string(), arguments);
    EXPECT_TRUE(run.Started());
    DWORD code = 99;
    const DWORD start = GetTickCount();
    while (!run.WaitForExit(10, &code) && GetTickCount() - start < kWait) {
      EXPECT_FALSE(run.ShowsAWindow()) << arguments;
      if (run.ShowsAWindow()) break;
    }
    return code;
  }

  StagedInstall install;
};

}  // namespace

TEST_F(Unattended, RemovesTheInstallationWithoutAWindowAndEndsWithZero) {
  install.Write("uninstall.dat", kSettings + "[Files]\r\nf1=editor.exe\r\nf2=gone.dll\r\n[Dirs]\r\nd=data\r\n");
  const std::string log = install.Parent() + "a b\\x.log";
  CreateDirectoryA((install.Parent() + "a b").c_str(), nullptr);
  EXPECT_EQ(Run("/S \"/LOG=" + log + "\""), 0u);
  EXPECT_FALSE(PathExists(install.Dir() + "editor.exe"));
  EXPECT_FALSE(EntryExists()) << "the registration is gone";
  EXPECT_TRUE(PathExists(install.Dir() + "data\\notes.txt")) << "never delete-all: the user's file stays";
  EXPECT_TRUE(WaitForPathToVanish(install.Exe(), kWait)) << "the batch took the program file";
  const std::string text = ReadWholeFile(log);
  for (const std::string& line :
       {std::string("mode: unattended\r\n"), "file " + install.Dir() + "editor.exe: removed\r\n",
        "file " + install.Dir() + "gone.dll: absent\r\n",
        "directory " + install.Dir() + "data: not empty, it holds 1 entry\r\n",
        "registry key HKLM\\" + kEntry + ": removed\r\n", std::string("self-deleting batch: started"),
        std::string("end, exit code 0\r\n")}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_EQ(text.find("editor.exe: removed"), text.rfind("editor.exe: removed"));
  EXPECT_EQ(text.find(" : "), std::string::npos) << "every line names what it acts on";
}

TEST_F(Unattended, EachEndIsToldByItsExitCodeAndChangesNothing) {
  const std::string probe = ProbeProgram();
  ASSERT_FALSE(probe.empty());
  ASSERT_TRUE(CopyFileA(probe.c_str(), (install.Dir() + "pre.exe").c_str(), FALSE));
  KernelHandle mutex(CreateMutexA(nullptr, TRUE, "QmSilentEditorRuns"));
  struct Case {
    const char* cause;
    std::string dat;
    std::string arguments;
    DWORD code;
  } cases[] = {
      {"no uninstall.dat", "", "/S", 1605},
      {"the program runs", kSettings + "MutexString=QmSilentEditorRuns\r\n", "/S", 1618},
      {"the before-uninstall program says no",
       kSettings + "[StartProg]\r\nBeforeUninst=pre.exe\r\nBeforeParam=/exit=1\r\n", "/S", 1602},
      {"the log cannot be written", kSettings, "/S /LOG=" + install.Parent() + "missing\\x.log", 1622},
      {"a switch that is not known", kSettings, "/S /X", 1639},
  };
  for (const Case& c : cases) {
    DeleteFileA((install.Dir() + "uninstall.dat").c_str());
    if (!c.dat.empty()) install.Write("uninstall.dat", c.dat + "[Files]\r\nf=editor.exe\r\n");
    EXPECT_EQ(Run(c.arguments), c.code) << c.cause;
    EXPECT_TRUE(PathExists(install.Dir() + "editor.exe")) << c.cause;
    EXPECT_TRUE(EntryExists()) << c.cause;
  }
}

TEST_F(Unattended, AProgramThatNeverEndsIsWaitedForOnlyUpToTheLimit) {
  // Left running, as a hook showing a window in session 0 would be: the
  // before-uninstall program's ends the run before anything goes, the
  // after-uninstall program's only makes the end a failure's.
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), (install.Dir() + "hang.exe").c_str(), FALSE));
  for (const char* hook : {"BeforeUninst", "AfterUninst"}) {
    const bool before = std::string(hook) == "BeforeUninst";
    install.Write("uninstall.dat", kSettings + "[StartProg]\r\n" + hook + "=hang.exe\r\n" +
                                       (before ? "BeforeParam" : "AfterParam") +
                                       "=/sleep=600000\r\n[Files]\r\nf=editor.exe\r\n");
    const std::string log = install.Parent() + hook + ".log";
    const DWORD start = GetTickCount();
    EXPECT_EQ(Run("/S /TIMEOUT=2 /LOG=" + log), 1603u) << hook;
    EXPECT_LT(GetTickCount() - start, 15000u) << hook;
    EndProcessesNamed("hang.exe");
    EXPECT_EQ(PathExists(install.Dir() + "editor.exe"), before) << hook;
    const std::string text = ReadWholeFile(log);
    EXPECT_NE(text.find("program " + install.Dir() +
                        "hang.exe /sleep=600000: still running after the timeout of 2 s: "
                        "left running"),
              std::string::npos)
        << text;
    if (before) {
      EXPECT_NE(text.find("the before-uninstall program outlived the timeout of 2 s: the uninstall ends, nothing was "
                          "removed"),
                std::string::npos)
          << text;
      EXPECT_TRUE(EntryExists());
    }
    EXPECT_TRUE(WaitForBatchToFinish(kWait));
  }
}

TEST_F(Unattended, AFailedRemovalIsLoggedWithTheBoxItWouldHaveShown) {
  install.Write("uninstall.dat", SettingsFor("missing.exe") + "[Files]\r\nf=editor.exe\r\n");
  const std::string log = install.Parent() + "failed run.log";
  EXPECT_EQ(Run("-silent /LOG=\"" + log + "\""), 1603u);
  const std::string text = ReadWholeFile(log);
  EXPECT_NE(text.find("message Uninstall Program: Uninstalling program not possible.\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("end, exit code 1603\r\n"), std::string::npos) << text;
  EXPECT_TRUE(PathExists(install.Dir() + "editor.exe"));
  EXPECT_FALSE(EntryExists()) << "the registration goes after a failure too";
}

TEST_F(Unattended, InteractiveRunsExplainAWrongSwitchAndNameTheirLogInTheFailureBox) {
  // Both in the author's words, here German.
  install.Write("uninstall.dat",
                SettingsFor("missing.exe") +
                    "[Language]\r\nBoxTitel=Fehler\r\nUsage=Aufruf: uninstall.exe [/S]|/S  ohne "
                    "Fenster deinstallieren\r\nLogLine=Protokoll: $Path\r\n[Files]\r\nf=editor.exe\r\n");
  {
    RunningUninstaller run(install.Exe(), std::string(), "/X");
    HWND box = run.WaitForWindow("#32770", kWait);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), " Fehler");
    EXPECT_EQ(ControlText(box, 0xFFFF), "Aufruf: uninstall.exe [/S]\n/S  ohne Fenster deinstallieren");
    ClickControl(box, IDOK);
    DWORD code = 99;
    ASSERT_TRUE(run.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u) << "the user's run always ends with 0";
  }
  const std::string log = install.Parent() + "user.log";
  RunningUninstaller run(install.Exe(), std::string(), "/LOG=" + log);
  HWND main = WaitForMainWindow(run, kWait);
  ASSERT_NE(main, nullptr);
  ClickControl(main, 5);  // OK
  HWND box = run.WaitForWindow("#32770", kWait);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ControlText(box, 0xFFFF), "Uninstalling program not possible.\nProtokoll: " + log);
  ClickControl(box, IDOK);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_NE(ReadWholeFile(log).find("mode: interactive"), std::string::npos);
}

TEST_F(Unattended, AProgramStillRunningGoesAtTheRestartAndTheRunSaysSoWith3010) {
  // A helper of the program, listed and running, and one a task names
  // outside the installation: neither can be deleted, but each can be
  // renamed beside itself and left to the restart.
  const std::string helper = install.Dir() + "helper.exe";
  const std::string tool = install.Parent() + "tools\\tool.exe";
  CreateDirectoryA((install.Parent() + "tools").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), helper.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), tool.c_str(), FALSE));
  const RunningProbe running(helper, "/sleep=60000", install.Dir());
  const RunningProbe running_tool(tool, "/sleep=60000", install.Parent());
  ASSERT_TRUE(running.Running() && running_tool.Running());
  install.Write("uninstall.dat", kSettings + "[UserTask]\r\nNumber=1\r\nTask1=1|" + tool +
                                     "\r\n[Files]\r\nf1=editor.exe\r\nf2=helper.exe\r\n");
  const std::string log = install.Parent() + "restart.log";
  const PendingRestarts pending(install.Parent());
  // A plan of it schedules nothing and renames nothing, and says what the run does.
  const std::string plan_log = install.Parent() + "restart-plan.log";
  EXPECT_EQ(Run("/PLAN /LOG=" + plan_log), 0u);
  EXPECT_TRUE(PathExists(helper));
  EXPECT_TRUE(PathExists(tool));
  EXPECT_EQ(pending.Operations().find(PendingRestarts::Named(install.Parent())), std::string::npos);
  for (const std::string& path : {helper, tool}) {
    EXPECT_NE(ReadWholeFile(plan_log).find("file " + path + ": would be removed"), std::string::npos) << path;
  }
  EXPECT_EQ(Run("/S /LOG=" + log), 3010u);
  const std::string operations = pending.Operations();
  for (const std::string& path : {helper, tool}) {
    EXPECT_FALSE(PathExists(path)) << "its path is free for a new installation";
    EXPECT_NE(operations.find(PendingRestarts::Named(DirectoryOfPath(path) + "~qm")), std::string::npos)
        << "renamed beside itself, then deleted at the restart: " << path;
    EXPECT_EQ(operations.find(path + std::string(1, '\0')), std::string::npos);
    EXPECT_NE(ReadWholeFile(log).find("file " + path + ": in use, scheduled for removal at restart"), std::string::npos)
        << ReadWholeFile(log);
  }
}

TEST_F(Unattended, TheListNamesTheUsersFileBesideALibraryInUseAndReadyTakesTheHooksFolder) {
  // A listed library kept in use, in a folder [Dirs] does not name, beside a
  // file of the user's; and the before-uninstall program alone in a [Dirs]
  // folder, which only Ready deletes.
  install.MakeDir("plugins");
  const std::string library = install.Dir() + "plugins\\helper.exe";
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), library.c_str(), FALSE));
  install.Write("plugins\\my.cfg", "the user's");
  install.MakeDir("tools");
  install.Write("tools\\pre.exe", "no program: it leaves no trace of its own in the folder");
  const RunningProbe running(library, "/sleep=60000", install.Dir());
  ASSERT_TRUE(running.Running());
  install.Write("uninstall.dat", kSettings +
                                     "[StartProg]\r\nBeforeUninst=tools\\pre.exe\r\n[Files]\r\nf1=editor.exe\r\n"
                                     "f2=plugins\\helper.exe\r\n[Dirs]\r\nd1=tools\r\n");
  const std::string log = install.Parent() + "list.log";
  const PendingRestarts pending(install.Dir());
  EXPECT_EQ(Run("/S /LOG=" + log), 3010u);
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  const std::string text = ReadWholeFile(log);
  EXPECT_NE(text.find("\r\n  plugins\\my.cfg\r\n"), std::string::npos) << text;
  EXPECT_FALSE(PathExists(install.Dir() + "tools")) << "Ready took the folder after its program";
  EXPECT_EQ(ReadWholeFile(install.Dir() + "plugins\\my.cfg"), "the user's");
}

TEST_F(Unattended, APlanChangesNothingAndTheRunAfterItDoesWhatItSaid) {
  // A hook and a script that would leave a trace, a directory link, a
  // read-only file, a file in use, a user's file, a value that leads outside,
  // and a [Dirs] value before one inside it.
  TempTree outside;
  const std::string precious = outside.Write("precious.txt", "keep");
  ASSERT_TRUE(MakeDirectoryLink(outside.Path(), install.Dir() + "shared"));
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), (install.Dir() + "pre.exe").c_str(), FALSE));
  install.Write("Uninstall.vbs", "CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + outside.Path() +
                                     "script.txt\", True).Close\r\n");
  install.MakeDir("lib");
  install.MakeDir("lib\\sub");
  install.Write("lib\\core.dll", "x");
  const std::string read_only = install.Write("ro.dll", "x");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string busy = install.Write("busy.dat", "x");
  const std::string beside = install.Write("..\\outside.dll", "theirs");
  // A listed name that is a second name of the user's notes: deleting it
  // leaves the notes, and their folder.
  ASSERT_TRUE(
      CreateHardLinkA((install.Dir() + "top.txt").c_str(), (install.Dir() + "data\\notes.txt").c_str(), nullptr));
  // In the registry: a file association of its own, a key shared with
  // another program's value, and that value's record twice, in other letters.
  SetRegistryText(HKEY_CURRENT_USER, "Software\\QmPlanShared", "Path", "ours");
  SetRegistryText(HKEY_CURRENT_USER, "Software\\QmPlanShared", "Other", "theirs");
  SetRegistryText(HKEY_CLASSES_ROOT, "Applications\\QmPlanTool\\shell\\open\\command", "", "tool");
  SetRegistryText(HKEY_CLASSES_ROOT, ".qmplan", "", "qmplan_auto_file");
  SetRegistryText(HKEY_CLASSES_ROOT, "qmplan_auto_file\\shell\\open\\command", "",
                  "\"" + install.Dir() + "editor.exe\" \"%1\"");
  install.Write("uninstall.dat",
                kSettings +
                    "Script=1\r\n[StartProg]\r\nBeforeUninst=pre.exe\r\n[Files]\r\nf1=editor.exe\r\n"
                    "f2=lib\\core.dll\r\nf3=ro.dll\r\nf4=busy.dat\r\nf5=shared\\precious.txt\r\n"
                    "f6=..\\outside.dll\r\nf7=pre.exe\r\nf8=top.txt\r\n[Dirs]\r\nd1=lib\r\nd2=lib\\sub\r\nd3=data\r\n"
                    "[UserTask]\r\nNumber=3\r\nTask1=6|2147483649|Software\\QmPlanShared|Path\r\n"
                    "Task2=6|2147483649|software\\qmplanshared|PATH\r\nTask3=10|qmplan|QmPlanTool\r\n");
  FileHandle held(CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  const std::string log = outside.Path() + "plan.log";

  EXPECT_EQ(Run("/PLAN /LOG=" + log), 0u);
  for (const std::string& path : {install.Dir() + "editor.exe", install.Dir() + "lib\\sub", install.Dir() + "pre.exe",
                                  install.Dir() + "uninstall.dat", install.Exe(), precious}) {
    EXPECT_TRUE(PathExists(path)) << path;
  }
  EXPECT_TRUE(EntryExists());
  EXPECT_FALSE(PathExists(install.Dir() + "probe.log")) << "no program ran";
  EXPECT_FALSE(PathExists(outside.Path() + "script.txt")) << "no script ran";
  EXPECT_TRUE(WaitForBatchToFinish(0)) << "no batch";
  const std::string plan = ReadWholeFile(log);
  for (const std::string& line :
       {"program " + install.Dir() + "pre.exe : would run; what it changes itself is not in this plan",
        "script " + install.Dir() + "Uninstall.vbs (VBScript): would run; what it changes itself is not in this plan",
        "registry key HKLM\\" + kEntry + ": would be removed",
        "file " + install.Dir() + "ro.dll: would stay, access denied", "file " + busy + ": would stay, in use",
        std::string("  data\\notes.txt"), std::string("note: the [Dirs] value lib comes before lib\\sub"),
        "note: a [Files] value leads outside the installation: " + install.Dir() + "..\\outside.dll",
        "note: a [Files] value leads through a directory link: " + install.Dir() + "shared\\precious.txt"}) {
    EXPECT_NE(plan.find(line), std::string::npos) << line << "\n" << plan;
  }
  const std::vector<std::string> removed = PathsTold(plan, "would be removed");
  const std::vector<std::string> stayed = PathsTold(plan, "would stay");
  EXPECT_GE(removed.size(), 6u) << plan;
  EXPECT_GE(stayed.size(), 5u) << plan;

  // Delete-all would take the read-only file that the listed run leaves,
  // and the user's notes in a [Dirs] folder.
  const size_t delete_all = plan.find("delete-all would also remove:");
  EXPECT_NE(plan.find("   ro.dll\r\n", delete_all), std::string::npos) << plan;
  EXPECT_NE(plan.find("   data\\notes.txt\r\n", delete_all), std::string::npos) << plan;
  EXPECT_NE(plan.find("directory " + install.Dir() + "data: would stay"), std::string::npos) << plan;
  EXPECT_EQ(plan.find("  shared\\"), std::string::npos) << "the link is never looked through: " << plan;
  const std::string twice = "file " + install.Dir() + "pre.exe: would be removed";
  EXPECT_EQ(plan.find(twice), plan.rfind(twice)) << "named by [Files] and by Ready, told once: " << plan;
  const std::vector<RegistryTold> keys_removed = RegistryLinesTold(plan, "would be removed");
  const std::vector<RegistryTold> keys_stayed = RegistryLinesTold(plan, "would stay");
  EXPECT_GE(keys_removed.size(), 8u) << "the association's chain and the shared value: " << plan;

  EXPECT_EQ(Run("/S"), 0u);
  for (const std::string& path : removed) EXPECT_FALSE(PathExists(path)) << "the plan said it would go: " << path;
  for (const std::string& path : stayed) EXPECT_TRUE(PathExists(path)) << "the plan said it would stay: " << path;
  for (const RegistryTold& entry : keys_removed) {
    EXPECT_FALSE(RegistryHas(entry)) << "the plan said it would go: " << entry.key << "|" << entry.value;
  }
  for (const RegistryTold& entry : keys_stayed) {
    EXPECT_TRUE(RegistryHas(entry)) << "the plan said it would stay: " << entry.key << "|" << entry.value;
  }
  EXPECT_TRUE(RegistryHas({HKEY_CURRENT_USER, "Software\\QmPlanShared", "Other", true})) << "the other program's";
  for (const char* key : {"Software\\QmPlanShared"}) RegDeleteKeyA(HKEY_CURRENT_USER, key);
  EXPECT_EQ(ReadWholeFile(precious), "keep");
  EXPECT_EQ(ReadWholeFile(beside), "theirs");
  EXPECT_EQ(ReadWholeFile(install.Dir() + "data\\notes.txt"), "the user's");
  held.Reset();
  RemoveLinuxLink(install.Dir() + "shared");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

// The default logs standing in the temporary directory.
std::vector<std::string> DefaultLogs() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((std::string(temp) + "Quillmarn uninstall *.log").c_str(), &found));
  while (search.Valid()) {
    names.push_back(std::string(temp) + found.cFileName);
    if (!FindNextFileA(search.Get(), &found)) break;
  }
  return names;
}

}  // namespace

TEST_F(Unattended, ALogIsNeitherADeviceNorAFolderNorASecondNameAndItsOwnIsNewUnderAnUnforeseenName) {
  install.Write("uninstall.dat", kSettings + "[Files]\r\nf1=editor.exe\r\n");
  const std::string first = install.Parent() + "first.log";
  WriteWholeFile(first, "earlier\r\n");
  ASSERT_TRUE(CreateHardLinkA((install.Parent() + "second.log").c_str(), first.c_str(), nullptr));
  // One device here: the names and the device namespace are the native tests'.
  for (const std::string& refused : {install.Dir().substr(0, install.Dir().size() - 1), std::string("NUL"), first}) {
    EXPECT_EQ(Run("\"/LOG=" + refused + "\" /S"), 1622u) << refused;
  }
  EXPECT_EQ(ReadWholeFile(first), "earlier\r\n");
  // A folder on its way that is a link: refused before anything is made behind it.
  TempTree elsewhere;
  ASSERT_TRUE(MakeDirectoryLink(elsewhere.Path(), install.Parent() + "linked"));
  EXPECT_EQ(Run("/S /LOG=" + install.Parent() + "linked\\u.log"), 1622u);
  EXPECT_FALSE(PathExists(elsewhere.Path() + "u.log"));
  RemoveLinuxLink(install.Parent() + "linked");
  EXPECT_TRUE(PathExists(install.Dir() + "editor.exe")) << "a refused log ends the run before it acts";

  // Without uninstall.dat the run ends at once, after its log is made.
  DeleteFileA((install.Dir() + "uninstall.dat").c_str());
  const std::vector<std::string> before = DefaultLogs();
  EXPECT_EQ(Run("/S /LOG"), 1605u);
  EXPECT_EQ(Run("/S /LOG"), 1605u);
  std::vector<std::string> made;
  for (const std::string& log : DefaultLogs()) {
    if (std::find(before.begin(), before.end(), log) == before.end()) made.push_back(log);
  }
  ASSERT_EQ(made.size(), 2u) << "each run makes a log of its own";
  for (const std::string& log : made) {
    // "Quillmarn uninstall 2026-12-08 12-00-00 0badcafe.log": eight hex digits nobody can foresee.
    const std::string name = log.substr(log.rfind('\\') + 1);
    EXPECT_EQ(name.size(), 52u) << name;
    EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 40), 48u) << name;
    EXPECT_NE(ReadWholeFile(log).find("end, exit code 1605"), std::string::npos);
    DeleteFileA(log.c_str());
  }
}

TEST_F(Unattended, ABatchWhoseJobIsClosedLeavesTheProgramFileToTheRestart) {
  // A deployment tool runs the uninstaller in a job and closes the job when
  // it ends: the batch may end with it, before it removed the program file.
  install.Write("uninstall.dat", kSettings + "[Files]\r\nf=editor.exe\r\n");
  char windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryA(windows, MAX_PATH);
  const std::string temp = std::string(windows) + "\\Temp\\";
  const PendingRestarts pending(temp);  // and rid of what this test adds there at its end
  KernelHandle job(CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  ASSERT_TRUE(SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string command = "\"" + install.Exe() + "\" /S";
  ASSERT_TRUE(CreateProcessA(install.Exe().c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                             nullptr, &startup, &info));
  const KernelHandle process(info.hProcess);
  const KernelHandle thread(info.hThread);
  ASSERT_TRUE(AssignProcessToJobObject(job.Get(), process.Get()));
  ResumeThread(thread.Get());
  ASSERT_EQ(WaitForSingleObject(process.Get(), kWait), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process.Get(), &code);
  EXPECT_EQ(code, 0u);
  job.Reset();  // whatever of it still runs in the job ends now
  // The home of the batch, its program file and the batch itself go at the
  // restart, whether or not the batch got to them first.
  // The newest home named in the list: an entry ending in "\~qmu-" and its name.
  std::string home;
  const std::string operations = pending.Operations();
  for (size_t at = 0; at < operations.size();) {
    const size_t end = operations.find('\0', at);
    const std::string named = operations.substr(at, end - at);
    const size_t last = named.rfind('\\');
    if (last != std::string::npos && named.compare(last + 1, 5, "~qmu-") == 0) home = named;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  EXPECT_FALSE(home.empty()) << "the batch's home is left to the restart:\n" << operations;
  EXPECT_NE(operations.find(home + "\\~~uninst.bat"), std::string::npos);
  EXPECT_NE(operations.find(home + "\\"), operations.find(home + "\\~~uninst.bat")) << "and the program file in it";
  // What the ended batch left, the test removes: the restart would.
  Sleep(3000);
  WIN32_FIND_DATAA found;
  FindHandle homes(FindFirstFileA((temp + "~qmu-*").c_str(), &found));
  for (bool more = homes.Valid(); more; more = FindNextFileA(homes.Get(), &found)) RemoveTree(temp + found.cFileName);
}
