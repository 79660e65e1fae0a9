#include <gtest/gtest.h>

#include <memory>

#include "harness_win32.h"
#include "linux_side_win32.h"
#include "platform/owners_win32.h"

namespace {

constexpr DWORD kWait = 30000;
const char kCompleted[] = "  Uninstalling completed.";
const char kGuid[] = "{QM-E2E-5D1E0C2A}";
const std::string kProductKey = std::string("SOFTWARE\\Quillmarn\\") + kGuid;
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void SetValue(HKEY root, const std::string& key, const std::string& name) {
  RegistryKey opened;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr),
            ERROR_SUCCESS);
  const char data[] = "x";
  RegSetValueExA(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
}

void RegisterProduct(const std::string& registration) {
  for (const char* value : {"InstallDir", "StartMenu", "DesktopIcon"}) SetValue(HKEY_CURRENT_USER, kProductKey, value);
  for (const char* value : {"DisplayName", "DisplayIcon", "Publisher", "URLInfoAbout", "HelpLink", "Contact",
                            "UninstallString", "DisplayVersion"}) {
    SetValue(HKEY_LOCAL_MACHINE, kUninstallKey + registration, value);
  }
}

void ForgetProduct(const std::string& registration) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn\\Other");
  RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstallKey + registration).c_str());
}

// An installed Editor: files, a user's file, registry entries.
class RemovalE2e : public ::testing::Test {
 protected:
  void SetUp() override { Stage(install); }
  void TearDown() override {
    EXPECT_TRUE(WaitForBatchToFinish(kWait));
    ForgetProduct(kGuid);
    ForgetProduct("Editor Link");
  }
  static void Stage(const StagedInstall& target) {
    target.Write("editor.exe", "MZ");
    target.MakeDir("lib");
    target.Write("lib\\core.dll", "MZ");
    target.Write("user.doc", "mine");
  }
  static std::string Settings(const StagedInstall& target, const std::string& settings_extra) {
    return "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nProgDir=" + target.Dir() + "\r\n" + settings_extra +
           "[Files]\r\nf1=editor.exe\r\nf2=lib\\core.dll\r\n[Dirs]\r\nd1=lib\r\n";
  }
  // Runs the uninstaller through OK (with the option if asked) and Ready.
  void RunToTheEnd(const StagedInstall& target, bool delete_all) {
    RunningUninstaller run(target.Exe());
    HWND main = WaitForMainWindow(run, kWait);
    ASSERT_NE(main, nullptr);
    if (delete_all) ClickControl(main, kDeleteAllId);
    ClickControl(main, kOkButtonId);
    ASSERT_TRUE(WaitForText(StatusBarOf(main), kCompleted, kWait)) << WindowText(StatusBarOf(main));
    ClickControl(main, kReadyButtonId);
    DWORD code = 99;
    ASSERT_TRUE(run.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
  }

  StagedInstall install;
};

}  // namespace

TEST_F(RemovalE2e, ListedRunKeepsTheProductKeyAndTheUsersFiles) {
  RegisterProduct(kGuid);
  install.Write("uninstall.dat", Settings(install, std::string("GUID=") + kGuid + "\r\n"));
  RunToTheEnd(install, false);
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kProductKey));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + kGuid));
  EXPECT_FALSE(PathExists(install.Dir() + "uninstall.dat"));

  // The batch takes the executable once the process has gone; the directory
  // stays because the user's file is still in it.
  EXPECT_TRUE(WaitForPathToVanish(install.Exe(), kWait));
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  EXPECT_TRUE(PathExists(install.Dir() + "user.doc"));
  EXPECT_FALSE(PathExists(install.Dir() + "lib"));
}

TEST_F(RemovalE2e, DeleteAllTakesTheProductKeyTheDirectoryAndItself) {
  RegisterProduct(kGuid);
  install.Write("uninstall.dat", Settings(install, std::string("GUID=") + kGuid + "\r\n"));
  RunToTheEnd(install, true);
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kProductKey));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn")) << "nothing else was left in it";
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + kGuid));
  EXPECT_TRUE(WaitForPathToVanish(install.Dir(), kWait)) << "the batch removes the emptied directory";
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
}

TEST_F(RemovalE2e, TheCommonKeyStaysWhileAnotherProductUsesIt) {
  RegisterProduct(kGuid);
  SetValue(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn\\Other", "InstallDir");
  install.Write("uninstall.dat", Settings(install, std::string("GUID=") + kGuid + "\r\n"));
  RunToTheEnd(install, true);
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kProductKey));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn\\Other"));
}

TEST_F(RemovalE2e, WithoutGuidProgLinkNamesTheRegistration) {
  RegisterProduct("Editor Link");
  install.Write("uninstall.dat", Settings(install, "ProgLink=Editor Link\r\n"));
  RunToTheEnd(install, true);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + "Editor Link"));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kProductKey)) << "no GUID, so no product key is touched";
}

TEST_F(RemovalE2e, PercentSignsInTheDirectoryNameReachTheBatchIntact) {
  StagedInstall odd("100% a%WINDIR%b");
  Stage(odd);
  odd.Write("uninstall.dat", Settings(odd, ""));
  RunToTheEnd(odd, true);
  EXPECT_TRUE(WaitForPathToVanish(odd.Dir(), kWait)) << odd.Dir();
}

TEST_F(RemovalE2e, FromADriveRootNothingOfTheDirectoryIsRemoved) {
  // The root of C: as the own directory: its files must never be touched.
  const std::string exe = "C:\\qm-root-uninstall.exe";
  ASSERT_TRUE(CopyFileA(UninstallerUnderTest().c_str(), exe.c_str(), FALSE));
  WriteWholeFile("C:\\qm-root-editor.exe", "MZ");
  WriteWholeFile("C:\\uninstall.dat", "[Settings]\r\nProgName=Editor\r\nProgExe=qm-root-editor.exe\r\nGUID=" +
                                          std::string(kGuid) + "\r\n[Files]\r\nf=qm-root-editor.exe\r\n");
  RegisterProduct(kGuid);
  {
    RunningUninstaller run(exe);
    HWND main = WaitForMainWindow(run, kWait);
    ASSERT_NE(main, nullptr);
    ClickControl(main, kDeleteAllId);
    ClickControl(main, kOkButtonId);
    HWND box = run.WaitForWindow("#32770", kWait);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ControlText(box, 0xFFFF), "Uninstalling program not possible.");
    ClickControl(box, IDOK);
    DWORD code = 99;
    ASSERT_TRUE(run.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
  }
  EXPECT_TRUE(PathExists("C:\\qm-root-editor.exe"));
  EXPECT_TRUE(PathExists("C:\\uninstall.dat"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + kGuid)) << "no retry removes anything: it goes";
  EXPECT_TRUE(WaitForBatchToFinish(0)) << "no batch was started";
  for (const char* path : {"C:\\qm-root-editor.exe", "C:\\uninstall.dat", "C:\\qm-root-uninstall.exe"}) {
    DeleteFileA(path);
  }
}

TEST_F(RemovalE2e, DeleteAllTakesPathsOf300And400CharactersInATreeAndInTheOwnDirectory) {
  // Nested directories of 100 characters each, a file at every depth, in a
  // [Dirs] tree and in a directory of the own one that only the whole own
  // tree (the empty [Dirs] value) reaches.
  for (const std::string top : {"lib", "unlisted"}) {
    std::string path = install.Dir() + top;
    CreateDirectoryA(path.c_str(), nullptr);
    for (int depth = 0; depth < 4; ++depth) {
      path += "\\" + std::string(100, static_cast<char>('a' + depth));
      ASSERT_TRUE(MakeLongDirectory(path));
      ASSERT_TRUE(MakeLongFile(path + "\\file.dat")) << path.size();
    }
    ASSERT_GT(path.size(), 400u);
  }
  install.Write(
      "uninstall.dat",
      "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\nf1=editor.exe\r\n[Dirs]\r\nd1=lib\r\nd2=\r\n");
  RunToTheEnd(install, true);
  EXPECT_TRUE(WaitForPathToVanish(install.Dir(), kWait)) << "nothing stayed, so the directory went too";
}
