// The reference's worked example and the demo's sample, staged as their
// installers would leave them and removed by the user's run, listed and with
// delete-all: each does what the reference says of it.
#include <gtest/gtest.h>

#include "harness_win32.h"
#include "platform/owners_win32.h"
#include "probes_win32.h"

namespace {

constexpr DWORD kWait = 30000;
const std::string kMenu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Editor\\";
const std::string kDesktopLink = "C:\\Users\\Public\\Desktop\\Editor.lnk";
const std::string kGuid = "{5D1E0C2A-7B7A-4C4E-9A51-3E2F00D1E7A1}";
const std::string kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kGuid;

std::string Example(const char* name) { return ReadWholeFile(std::string(QM_EXAMPLES_DIR) + name); }

void Write(const std::string& path, const std::string& bytes) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The links and the registration both samples share.
void StageLinksAndEntry(const std::vector<std::string>& links) {
  for (const std::string& link : links) Write(kMenu + link, "link");
  Write(kDesktopLink, "link");
  SetRegistryText(HKEY_LOCAL_MACHINE, kEntry, "DisplayName", "Editor 2.1");
}

void ExpectLinksAndEntryGone(const std::vector<std::string>& links) {
  for (const std::string& link : links) EXPECT_FALSE(PathExists(kMenu + link)) << link;
  EXPECT_FALSE(PathExists(kMenu)) << "the Start-menu folder, empty, goes";
  EXPECT_FALSE(PathExists(kDesktopLink));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

DWORD RemoveByTheUser(const std::string& exe, bool delete_all) {
  RunningUninstaller run(exe);
  DWORD code = 99;
  EXPECT_TRUE(ClickThroughToTheEnd(run, delete_all, kWait, &code));
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  return code;
}

}  // namespace

TEST(Examples, TheWorkedExampleDoesWhatTheReferenceSays) {
  const std::string own = "C:\\Program Files\\Editor\\";
  const std::vector<std::string> links = {"Editor.lnk", "Editor Help.lnk", "Uninstall Editor.lnk"};
  const std::string classes[] = {".edt", "edt_auto_file", "Applications\\Editor"};
  for (const bool delete_all : {false, true}) {
    ASSERT_FALSE(PathExists(own)) << "left by another test";
    // Where the hooks, the script and the library tell that they ran.
    TempTree told;
    SetEnvironmentVariableA("QM_PROBE_DIR", told.Path().c_str());
    Write(own + "uninstall.dat", Example("worked-example.dat"));
    ASSERT_TRUE(CopyFileA(UninstallerUnderTest().c_str(), (own + "uninstall.exe").c_str(), FALSE));
    for (const char* file : {"editor.exe", "lib\\core.dll", "lib\\plugins\\markdown.dll", "help\\editor.chm"}) {
      Write(own + file, "MZ");
    }
    Write(own + "lib\\spellcheck.dll", "");
    ASSERT_TRUE(CopyFileA(ProbeLibrary().c_str(), (own + "lib\\spellcheck.dll").c_str(), FALSE));
    Write(own + "tools\\stopsvc.exe", "");
    for (const char* hook : {"tools\\stopsvc.exe", "tools\\cleanup.exe"}) {
      ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), (own + hook).c_str(), FALSE));
    }
    Write(own + "Uninstall.vbs",
          "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
          "fso.CreateTextFile(\"" +
              told.Path() + "script.txt\", True).Close\r\n");
    StageLinksAndEntry(links);
    Write("C:\\ProgramData\\Editor\\license.key", "key");
    SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\Editor\\Settings", "InstallPath", own);
    SetRegistryText(HKEY_CLASSES_ROOT, ".edt", "", "edt_auto_file");
    SetRegistryText(HKEY_CLASSES_ROOT, "edt_auto_file\\shell\\open\\command", "", "\"" + own + "editor.exe\" \"%1\"");
    SetRegistryText(HKEY_CLASSES_ROOT, "Applications\\Editor\\shell\\open\\command", "",
                    "\"" + own + "editor.exe\" \"%1\"");
    SetRegistryText(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn\\" + kGuid, "Window", "1");

    EXPECT_EQ(RemoveByTheUser(own + "uninstall.exe", delete_all), 0u);
    SetEnvironmentVariableA("QM_PROBE_DIR", nullptr);
    const std::string ran = ReadWholeFile(told.Path() + "probe.log");
    EXPECT_NE(ran.find("stopsvc.exe\" /quiet|" + own.substr(0, own.size() - 1)), std::string::npos) << ran;
    EXPECT_NE(ran.find("cleanup.exe\" /all|"), std::string::npos) << ran;
    EXPECT_TRUE(PathExists(told.Path() + "script.txt")) << "Uninstall.vbs ran";
    EXPECT_TRUE(PathExists(told.Path() + "unregistered.txt")) << "the spell checker was unregistered";
    ExpectLinksAndEntryGone(links);
    EXPECT_FALSE(PathExists("C:\\ProgramData\\Editor\\license.key"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Editor\\Settings"));
    for (const std::string& key : classes) EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, key)) << key;
    // The product key goes with delete-all alone.
    EXPECT_EQ(RegistryKeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Quillmarn\\" + kGuid), !delete_all);
    // Files, folders, tools, scripts, uninstall.dat and the program itself.
    EXPECT_FALSE(PathExists(own)) << "delete-all " << delete_all;
    RegDeleteKeyA(HKEY_CURRENT_USER, ("SOFTWARE\\Quillmarn\\" + kGuid).c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Editor");
    RemoveDirectoryA("C:\\ProgramData\\Editor");
  }
}

TEST(Examples, TheDemosSampleKeepsTheUsersDataEitherWay) {
  const std::vector<std::string> links = {"Editor.lnk", "Uninstall Editor.lnk"};
  for (const bool delete_all : {false, true}) {
    StagedInstall install("Editor");
    const std::string sample = Example("editor.dat");
    install.Write("uninstall.dat", sample);
    install.MakeDir("lib");
    install.MakeDir("data");
    for (const char* file : {"editor.exe", "lib\\core.dll", "lib\\spell.dll"}) install.Write(file, "MZ");
    install.Write("data\\notes.txt", "the user's");
    StageLinksAndEntry(links);
    if (delete_all) {
      // A [Dirs] value that names the installation folder itself: the plan
      // tells that delete-all would take the user's data with it.
      install.Write("uninstall.dat", sample + "DAT\n");
      const std::string plan = install.Parent() + "plan.log";
      EXPECT_EQ(ExitCodeOf(install.Exe(), "/PLAN /LOG=" + plan, kWait), 0u);
      const std::string text = ReadWholeFile(plan);
      const size_t section = text.find("delete-all would also remove:");
      EXPECT_NE(text.find("  data\\notes.txt", section), std::string::npos) << text;
      install.Write("uninstall.dat", sample);
    }
    EXPECT_EQ(RemoveByTheUser(install.Exe(), delete_all), 0u);
    ExpectLinksAndEntryGone(links);
    for (const char* gone : {"editor.exe", "lib", "uninstall.dat", "uninstall.exe"}) {
      EXPECT_FALSE(PathExists(install.Dir() + gone)) << gone << ", delete-all " << delete_all;
    }
    EXPECT_EQ(ReadWholeFile(install.Dir() + "data\\notes.txt"), "the user's") << "delete-all " << delete_all;
  }
}
