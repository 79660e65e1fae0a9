#include <gtest/gtest.h>

#include "harness_win32.h"
#include "platform/owners_win32.h"
#include "probes_win32.h"

namespace {

constexpr DWORD kWait = 30000;

class HooksE2e : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(WaitForBatchToFinish(kWait)); }
  std::string Probe(const std::string& name) {
    const std::string path = install.Dir() + name;
    EXPECT_TRUE(CopyFileA(ProbeProgram().c_str(), path.c_str(), FALSE)) << ProbeProgram();
    return path;
  }
  StagedInstall install;
};

}  // namespace

TEST_F(HooksE2e, AFullUninstallRunsEveryHookAndTask) {
  Probe("editor.exe");
  Probe("pre.exe");
  Probe("post.exe");
  TempTree outside;
  const std::string library = outside.Path() + "ext.dll";
  ASSERT_TRUE(CopyFileA(ProbeLibrary().c_str(), library.c_str(), FALSE));
  const std::string extra = outside.Write("extra.txt", "x");
  {
    RegistryKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QmVendor\\Tool", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    key.Receive(), nullptr);
    RegSetValueExA(key.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  }
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  install.Write("Uninstall.vbs",
                "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                "Set f = fso.CreateTextFile(\"" +
                    outside.Path() +
                    "script.txt\", True)\r\n"
                    "f.Write qmProgDir & \"|\" & qmGUID\r\nf.Close\r\n");
  install.Write(
      "uninstall.dat",
      "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nScript=1\r\nGUID={QM-HOOKS}\r\n"
      "[StartProg]\r\nBeforeUninst=pre.exe\r\nBeforeParam=/exit=2\r\nAfterUninst=post.exe\r\nAfterParam=/after\r\n"
      "[UserTask]\r\nNumber=3\r\nTask1=6|2147483649|Software\\QmVendor\\Tool|Path\r\n"
      "Task2=9|" +
          std::string(system) + "\\|" + library + "\r\nTask3=0|  " + extra +
          "  \r\n"
          "[Files]\r\nf=editor.exe\r\n");

  RunningUninstaller run(install.Exe());
  HWND main = WaitForMainWindow(run, kWait);
  ASSERT_NE(main, nullptr);
  // Before the window opened: the before program ran and the script wrote its constants.
  EXPECT_NE(ReadWholeFile(install.Dir() + "probe.log").find("pre.exe\" /exit=2|"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(outside.Path() + "script.txt"), install.Dir() + "|{QM-HOOKS}");

  ClickControl(main, kOkButtonId);
  ASSERT_TRUE(WaitForText(StatusBarOf(main), "  Uninstalling completed.", kWait));
  EXPECT_NE(ReadWholeFile(install.Dir() + "probe.log").find("post.exe\" /after|"), std::string::npos);
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\QmVendor\\Tool"));
  EXPECT_TRUE(PathExists(outside.Path() + "unregistered.txt"));
  EXPECT_FALSE(PathExists(extra));
  EXPECT_FALSE(PathExists(install.Dir() + "editor.exe"));

  ClickControl(main, kReadyButtonId);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(WaitForPathToVanish(install.Dir() + "pre.exe", kWait));
  EXPECT_TRUE(WaitForPathToVanish(install.Dir() + "Uninstall.vbs", kWait));
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QmVendor");
}

TEST_F(HooksE2e, ABeforeProgramEndingWithOneStopsEverythingSilently) {
  Probe("editor.exe");
  Probe("pre.exe");
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[StartProg]\r\nBeforeUninst=pre.exe\r\n"
                "BeforeParam=/exit=1\r\n[Files]\r\nf=editor.exe\r\n");
  RunningUninstaller run(install.Exe());
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(PathExists(install.Dir() + "editor.exe"));
  EXPECT_TRUE(PathExists(install.Dir() + "uninstall.dat"));
}

TEST_F(HooksE2e, ARunningProgramGetsOneWarningAndNothingIsTouched) {
  const std::string name = "QuillmarnEditorRuns" + std::to_string(GetCurrentProcessId());
  KernelHandle held(CreateMutexA(nullptr, TRUE, name.c_str()));
  Probe("editor.exe");
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nMutexString=" + name +
                    "\r\n[Language]\r\nMutex=Bitte '$Titel' beenden|$Titel\r\n[Files]\r\nf=editor.exe\r\n");
  RunningUninstaller run(install.Exe());
  HWND box = run.WaitForWindow("#32770", kWait);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), "Uninstall Program");
  EXPECT_EQ(ControlText(box, 0xFFFF), "Bitte 'Editor' beenden\nEditor");
  EXPECT_EQ(WaitForMainWindow(run, 200), nullptr) << "no window before the warning is answered";
  ClickControl(box, IDOK);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(PathExists(install.Dir() + "editor.exe"));
  held.Reset();
  KernelHandle again(CreateMutexA(nullptr, FALSE, name.c_str()));
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the check left no handle of its own";
}

TEST_F(HooksE2e, AnUnattendedRunKeepsSharedKeysQuotesLibrariesAndLogsScriptErrors) {
  Probe("editor.exe");
  // A library in a folder with blanks, and one where an unquoted path would
  // lead regsvr32: only the first is unregistered.
  TempTree outside;
  const std::string folder = outside.MakeDir("Program Files (x86)") + "\\";
  const std::string library = folder + "ext.dll";
  ASSERT_TRUE(CopyFileA(ProbeLibrary().c_str(), library.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(ProbeLibrary().c_str(), (outside.Path() + "Program.dll").c_str(), FALSE));
  // A key the record shares with another program's value.
  const char* shared = "Software\\QmVendor\\Shared";
  {
    RegistryKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, shared, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    RegSetValueExA(key.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("ours"), 5);
    RegSetValueExA(key.Get(), "Other", 0, REG_SZ, reinterpret_cast<const BYTE*>("theirs"), 7);
  }
  // An association whose auto_file class Explorer has given another program since.
  const char* other_class = "qmkept_auto_file\\shell\\open\\command";
  const std::string viewer = "\"C:\\Other\\viewer.exe\" \"%1\"";
  SetRegistryText(HKEY_CLASSES_ROOT, other_class, "", viewer);
  install.Write("Uninstall.vbs", "x = 1\r\nIf Then Else )(\r\n");
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nScript=1\r\n"
                "[UserTask]\r\nNumber=3\r\nTask1=6|2147483649|" +
                    std::string(shared) + "|Path\r\nTask2=9|" + outside.Path() + "|" + library +
                    "\r\nTask3=10|qmkept|QmKept\r\n[Files]\r\nf=editor.exe\r\n");
  const std::string log = outside.Path() + "run.log";
  RunningUninstaller run(install.Exe(), std::string(), "/S /LOG=" + log);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 0u);
  std::string text;
  RegistryKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, shared, 0, KEY_READ, key.Receive()), ERROR_SUCCESS)
      << "the key stays with the other value";
  EXPECT_NE(RegQueryValueExA(key.Get(), "Other", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key.Get(), "Path", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  key.Reset();
  EXPECT_EQ(ReadWholeFile(folder + "unregistered.txt") + "\\", folder) << "regsvr32 ran in the library's folder";
  EXPECT_FALSE(PathExists(outside.Path() + "unregistered.txt")) << "no library at a cut path was loaded";
  const std::string logged = ReadWholeFile(log);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  for (const std::string& line :
       {"program " + std::string(system) + "\\regsvr32.exe /S /U \"" + library + "\": exit code 0",
        "script " + install.Dir() + "Uninstall.vbs (VBScript): failed at line 2",
        "file association class HKCR\\qmkept_auto_file: kept, its open command starts another program: " + viewer}) {
    EXPECT_NE(logged.find(line), std::string::npos) << line << "\n" << logged;
  }
  RegistryKey kept;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, other_class, 0, KEY_READ, kept.Receive()), ERROR_SUCCESS);
  kept.Reset();
  for (const char* key :
       {other_class, "qmkept_auto_file\\shell\\open", "qmkept_auto_file\\shell", "qmkept_auto_file"}) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, shared);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QmVendor");
}

namespace {

std::string Slashed(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  return path;
}

}  // namespace

TEST_F(HooksE2e, AnAutoFileClassIsOursByWhatItWouldStartNotByItsSpelling) {
  StagedInstall install("app");
  install.Write("editor.exe", "MZ");
  // The program the first command reaches through "..": another's, beside the installation.
  const std::string other = install.Parent() + "other\\";
  CreateDirectoryA(other.c_str(), nullptr);
  WriteWholeFile(other + "Other.exe", "MZ");
  const std::string leading_out = install.Dir() + "my tools\\..\\..\\other\\Other.exe \"%1\"";
  SetRegistryText(HKEY_CLASSES_ROOT, "qmdots_auto_file\\shell\\open\\command", "", leading_out);
  SetRegistryText(HKEY_CLASSES_ROOT, ".qmdots", "", "qmdots_auto_file");
  // Ours, however it is spelled: forward slashes and a doubled separator.
  SetRegistryText(HKEY_CLASSES_ROOT, "qmslash_auto_file\\shell\\open\\command", "",
                  "\"" + Slashed(install.Dir()) + "/editor.exe\" \"%1\"");
  SetRegistryText(HKEY_CLASSES_ROOT, ".qmslash", "", "qmslash_auto_file");
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[UserTask]\r\nNumber=2\r\n"
                "Task1=10|qmdots|QmDots\r\nTask2=10|qmslash|QmSlash\r\n[Files]\r\nf=editor.exe\r\n");
  const std::string log = install.Parent() + "run.log";
  RunningUninstaller run(install.Exe(), std::string(), "/S /LOG=" + log);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, "qmdots_auto_file\\shell\\open\\command"));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".qmdots")) << "the extension stays with the class it names";
  EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "qmslash_auto_file"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".qmslash"));
  const std::string logged = ReadWholeFile(log);
  for (const std::string& line :
       {"file association class HKCR\\qmdots_auto_file: kept, its open command starts another program: " + leading_out,
        std::string("file association HKCR\\.qmdots: kept, it names the class that stays: qmdots_auto_file")}) {
    EXPECT_NE(logged.find(line), std::string::npos) << line << "\n" << logged;
  }
  for (const char* key : {"qmdots_auto_file\\shell\\open\\command", "qmdots_auto_file\\shell\\open",
                          "qmdots_auto_file\\shell", "qmdots_auto_file", ".qmdots"}) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }
}

TEST_F(HooksE2e, ADocumentHookOfAnAdministratorsRunOpensByTheMachinesClassNeverTheUsers) {
  // Every run under Wine is an administrator's: the user's class for the
  // same type, which the shell would prefer, must never start.
  TempTree handlers;
  const std::string machine = handlers.MakeDir("machine") + "\\viewer.exe";
  const std::string user = handlers.MakeDir("user") + "\\viewer.exe";
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), machine.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), user.c_str(), FALSE));
  SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.qmdoc", "", "qmdoc_machine");
  SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\Classes\\qmdoc_machine\\shell\\open\\command", "",
                  "\"" + machine + "\" \"%1\" %*");
  SetRegistryText(HKEY_CURRENT_USER, "Software\\Classes\\.qmdoc", "", "qmdoc_user");
  SetRegistryText(HKEY_CURRENT_USER, "Software\\Classes\\qmdoc_user\\shell\\open\\command", "",
                  "\"" + user + "\" \"%1\"");
  const std::string document = install.Dir() + "notes.qmdoc";
  for (const bool unattended : {false, true}) {
    Probe("editor.exe");
    install.Write("notes.qmdoc", "the author's");
    install.Write("uninstall.dat",
                  "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[StartProg]\r\nBeforeUninst=notes.qmdoc\r\n"
                  "BeforeParam=/exit=0\r\n[Files]\r\nf=editor.exe\r\n");
    if (unattended) {
      // The plan says how the run will open it, and opens nothing.
      const std::string plan = handlers.Path() + "plan.log";
      RunningUninstaller planned(install.Exe(), std::string(), "/PLAN /LOG=" + plan);
      DWORD planned_code = 99;
      ASSERT_TRUE(planned.WaitForExit(kWait, &planned_code));
      EXPECT_NE(ReadWholeFile(plan).find("open document " + document + " by the machine's class qmdoc_machine: "),
                std::string::npos)
          << ReadWholeFile(plan);
      EXPECT_FALSE(PathExists(handlers.Path() + "machine\\probe.log"));
    }
    RunningUninstaller run(install.Exe(), std::string(), unattended ? "/S" : "");
    DWORD code = 99;
    ASSERT_TRUE(unattended ? run.WaitForExit(kWait, &code) : ClickThroughToTheEnd(run, false, kWait, &code));
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(WaitForBatchToFinish(kWait));
    const std::string seen = ReadWholeFile(handlers.Path() + "machine\\probe.log");
    EXPECT_NE(seen.find("\"" + document + "\" /exit=0|"), std::string::npos) << unattended << "\n" << seen;
    EXPECT_FALSE(PathExists(handlers.Path() + "user\\probe.log")) << "the user's class started";
    DeleteFileA((handlers.Path() + "machine\\probe.log").c_str());
    CreateDirectoryA(install.Dir().c_str(), nullptr);
    CopyFileA(UninstallerUnderTest().c_str(), install.Exe().c_str(), FALSE);
  }
  for (const char* key :
       {"Software\\Classes\\qmdoc_machine\\shell\\open\\command", "Software\\Classes\\qmdoc_machine\\shell\\open",
        "Software\\Classes\\qmdoc_machine\\shell", "Software\\Classes\\qmdoc_machine", "Software\\Classes\\.qmdoc"}) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  }
  for (const char* key :
       {"Software\\Classes\\qmdoc_user\\shell\\open\\command", "Software\\Classes\\qmdoc_user\\shell\\open",
        "Software\\Classes\\qmdoc_user\\shell", "Software\\Classes\\qmdoc_user", "Software\\Classes\\.qmdoc"}) {
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
  }
}

TEST_F(HooksE2e, HooksLeadingOutsideTheInstallationNeverRun) {
  // Programs beside the installation, which any user might have put there.
  TempTree outside;
  for (const char* name : {"pre.exe", "post.exe"}) {
    ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), (outside.Path() + name).c_str(), FALSE));
  }
  // From the installation's folder up and across to the other tree, and by a full path.
  const std::string& other = outside.Path();
  const std::string before = "..\\" + other.substr(other.rfind('\\', other.size() - 2) + 1) + "pre.exe";
  for (const char* mode : {"/PLAN", "/S", ""}) {
    Probe("editor.exe");
    install.Write("uninstall.dat",
                  "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[StartProg]\r\nBeforeUninst=" + before +
                      "\r\nAfterUninst=" + outside.Path() + "post.exe\r\n[Files]\r\nf=editor.exe\r\n");
    const std::string log = outside.Path() + "run.log";
    RunningUninstaller run(install.Exe(), std::string(), std::string(mode) + (*mode ? " " : "") + "/LOG=" + log);
    DWORD code = 99;
    ASSERT_TRUE(*mode ? run.WaitForExit(kWait, &code) : ClickThroughToTheEnd(run, false, kWait, &code)) << mode;
    EXPECT_EQ(code, 0u) << mode;
    ASSERT_TRUE(WaitForBatchToFinish(kWait));
    EXPECT_FALSE(PathExists(outside.Path() + "probe.log")) << mode << ": a hook outside ran";
    const std::string told = ReadWholeFile(log);
    for (const std::string& hook : {before, outside.Path() + "post.exe"}) {
      EXPECT_NE(told.find(hook + ": passed over, it lies outside the installation"), std::string::npos) << mode << "\n"
                                                                                                        << told;
    }
    DeleteFileA(log.c_str());
    CreateDirectoryA(install.Dir().c_str(), nullptr);
    CopyFileA(UninstallerUnderTest().c_str(), install.Exe().c_str(), FALSE);
  }
}
