#include <gtest/gtest.h>

#include "harness_win32.h"
#include "platform/owners_win32.h"
#include "probes_win32.h"

namespace {

constexpr DWORD kWait = 30000;
enum : int { kOk = 5, kCancel = 6, kReady = 7 };

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

bool KeyExists(HKEY root, const std::string& key) {
  RegistryKey opened;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

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

  ClickControl(main, kOk);
  ASSERT_TRUE(WaitForText(StatusBarOf(main), "  Uninstalling completed.", kWait));
  EXPECT_NE(ReadWholeFile(install.Dir() + "probe.log").find("post.exe\" /after|"), std::string::npos);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\QmVendor\\Tool"));
  EXPECT_TRUE(PathExists(outside.Path() + "unregistered.txt"));
  EXPECT_FALSE(PathExists(extra));
  EXPECT_FALSE(PathExists(install.Dir() + "editor.exe"));

  ClickControl(main, kReady);
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
