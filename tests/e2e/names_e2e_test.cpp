// Names in every language: an installation below a folder whose letters the
// system's legacy code page lacks, its settings in UTF-8 or in the legacy
// code page, and the best-fit twin of its folder that anyone may create.
// This driver's text is UTF-8, as the program's is.
#include <gtest/gtest.h>

#include "harness_win32.h"
#include "probes_win32.h"

namespace {

constexpr DWORD kWait = 30000;

// "Łukasz", "Łapp", "Lapp", "файл.txt", "Редактор", "王", "编辑器.lnk", "😀.txt", "Café"
const std::string kLukasz = "\xC5\x81ukasz";
const std::string kFile = "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt";
const std::string kProduct = "\xD0\xA0\xD0\xB5\xD0\xB4\xD0\xB0\xD0\xBA\xD1\x82\xD0\xBE\xD1\x80";
const std::wstring kProductTitle = L" \x0420\x0435\x0434\x0430\x043A\x0442\x043E\x0440";
const std::string kMenu = "\xE7\x8E\x8B";
const std::string kLink = "\xE7\xBC\x96\xE8\xBE\x91\xE5\x99\xA8.lnk";
const std::string kEmoji = "\xF0\x9F\x98\x80.txt";

std::wstring WideWindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

DWORD RunUnattended(const std::string& exe, const std::string& arguments) {
  RunningUninstaller run(exe, std::string(), arguments);
  DWORD code = 99;
  EXPECT_TRUE(run.WaitForExit(kWait, &code)) << exe;
  return code;
}

}  // namespace

TEST(NamesE2e, BelowAFolderOutsideTheCodePageBothModesRemoveEverythingNamedSo) {
  for (const bool delete_all : {false, true}) {
    StagedInstall install(kLukasz);
    install.Write("editor.exe", "MZ");
    install.Write(kFile, "x");
    const std::string menu = install.Parent() + kMenu + "\\";
    CreateDirectoryA(menu.c_str(), nullptr);
    WriteWholeFile(menu + kLink, "link");
    install.Write("uninstall.dat", "\xEF\xBB\xBF[Settings]\r\nProgName=" + kProduct +
                                       "\r\nProgExe=editor.exe\r\nStartMenu=" + menu + "\r\n[StartMenu]\r\nProgram=" +
                                       menu + kLink + "\r\n[Files]\r\nf1=editor.exe\r\nf2=" + kFile + "\r\n");
    RunningUninstaller run(install.Exe());
    HWND main = WaitForMainWindow(run, kWait);
    ASSERT_NE(main, nullptr) << "it found its own uninstall.dat";
    EXPECT_EQ(WideWindowText(main), kProductTitle);
    if (delete_all) ClickControl(main, kDeleteAllId);
    ClickControl(main, kOkButtonId);
    ASSERT_TRUE(WaitForText(StatusBarOf(main), "  Uninstalling completed.", kWait)) << WindowText(StatusBarOf(main));
    EXPECT_FALSE(PathExists(install.Dir() + kFile));
    EXPECT_FALSE(PathExists(menu + kLink));
    EXPECT_FALSE(PathExists(menu)) << "the start-menu folder, empty now";
    ClickControl(main, kReadyButtonId);
    DWORD code = 99;
    ASSERT_TRUE(run.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(WaitForBatchToFinish(kWait));
    EXPECT_FALSE(PathExists(install.Exe())) << "the batch found the program file by its name";
    EXPECT_FALSE(PathExists(install.Dir())) << delete_all;
  }
}

TEST(NamesE2e, TheBestFitTwinOfTheFolderIsNeverReadOrRun) {
  // "Lapp" is what the legacy code page makes of "Łapp"; a user made it.
  StagedInstall install(
      "\xC5\x81"
      "app");
  const std::string twin = install.Parent() + "Lapp\\";
  CreateDirectoryA(twin.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), (twin + "evil.exe").c_str(), FALSE));
  WriteWholeFile(twin + "mine.txt", "the twin's");
  WriteWholeFile(twin + "uninstall.dat",
                 "[Settings]\r\nProgName=Twin\r\n[StartProg]\r\nBeforeUninst=evil.exe\r\n[Files]\r\nf=mine.txt\r\n");
  ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), (install.Dir() + "before.exe").c_str(), FALSE));
  install.Write("editor.exe", "MZ");
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[StartProg]\r\nBeforeUninst=before.exe\r\n["
                "Files]\r\nf=editor.exe\r\n");
  const std::string log = install.Parent() + "run.log";
  EXPECT_EQ(RunUnattended(install.Exe(), "/S /LOG=" + log), 0u);
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  EXPECT_FALSE(PathExists(install.Dir() + "editor.exe"));
  EXPECT_NE(ReadWholeFile(log).find("program " + install.Dir() + "before.exe : exit code 0"), std::string::npos)
      << ReadWholeFile(log);
  // The probe, a program of the legacy code page itself, logs beside the
  // best-fit form of its own path: only what it was started as tells.
  EXPECT_EQ(ReadWholeFile(twin + "probe.log").find("evil.exe"), std::string::npos) << "the twin's program ran";
  EXPECT_EQ(ReadWholeFile(twin + "mine.txt"), "the twin's");
}

TEST(NamesE2e, TheLogIsUtf8AndNamesTheUsersFileOfAnyName) {
  StagedInstall install(kLukasz);
  install.Write("editor.exe", "MZ");
  install.Write(kEmoji, "the user's");
  install.Write("uninstall.dat", "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\nf=editor.exe\r\n");
  const std::string log = install.Parent() + "run.log";
  EXPECT_EQ(RunUnattended(install.Exe(), "/S \"/LOG=" + log + "\""), 0u);
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  EXPECT_EQ(ReadWholeFile(install.Dir() + kEmoji), "the user's");
  const std::string text = ReadWholeFile(log);
  EXPECT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "UTF-8 with its signature";
  EXPECT_NE(text.find(install.Dir().substr(0, install.Dir().size() - 1) +
                      ": kept, it holds 1 file or folder the setup did not install\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  " + kEmoji + "\r\n"), std::string::npos) << text;
}

TEST(NamesE2e, ALegacyCodePageFileNamesLettersOfItsCodePage) {
  // "Café" in the folder's name and in a value, the file in code page 1252.
  StagedInstall install("Caf\xC3\xA9");
  install.Write("editor.exe", "MZ");
  install.Write("caf\xC3\xA9.txt", "x");
  install.Write(
      "uninstall.dat",
      "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\nf1=editor.exe\r\nf2=caf\xE9.txt\r\n");
  EXPECT_EQ(RunUnattended(install.Exe(), "/S"), 0u);
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  EXPECT_FALSE(PathExists(install.Dir() + "caf\xC3\xA9.txt"));
  EXPECT_FALSE(PathExists(install.Dir())) << "nothing of the user's kept it";
}

namespace {

std::string Repeated(const std::string& letter, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += letter;
  return text;
}

// "ж" (2 bytes in UTF-8) and "王" (3 bytes): a Linux name holds at most 255
// bytes, so long names take several parts.
const std::string kZhe = "\xD0\xB6";
const std::string kWang = "\xE7\x8E\x8B";

}  // namespace

TEST(NamesE2e, LongNamesOfEveryScriptAreRemovedInBothModes) {
  // A file whose full path has some 220 letters (about 400 bytes), and a
  // program file named with 90 CJK letters: all within the platform's 260.
  const std::string folder = Repeated(kZhe, 80) + "\\" + Repeated(kZhe, 60);
  const std::string file = folder + "\\" + Repeated(kZhe, 30) + ".txt";
  const std::string program = Repeated(kWang, 45) + "\\" + Repeated(kWang, 45) + ".exe";
  for (const bool delete_all : {false, true}) {
    StagedInstall install("app");
    install.MakeDir(folder);
    install.Write(file, "x");
    install.MakeDir(Repeated(kWang, 45));
    install.Write(program, "MZ");
    ASSERT_TRUE(PathExists(install.Dir() + file)) << "staged";
    ASSERT_GT(install.Dir().size() + file.size(), 360u);
    install.Write("uninstall.dat", "\xEF\xBB\xBF[Settings]\r\nProgName=Editor\r\nProgExe=" + program +
                                       "\r\n[Files]\r\nf1=" + file + "\r\nf2=" + program +
                                       "\r\n[Dirs]\r\nd1=" + folder + "\r\nd2=" + Repeated(kZhe, 80) +
                                       "\r\nd3=" + Repeated(kWang, 45) + "\r\n");
    RunningUninstaller run(install.Exe());
    DWORD code = 99;
    ASSERT_TRUE(ClickThroughToTheEnd(run, delete_all, kWait, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(PathExists(install.Dir() + file)) << delete_all;
    EXPECT_FALSE(PathExists(install.Dir() + program)) << delete_all;
    ASSERT_TRUE(WaitForBatchToFinish(kWait));
    EXPECT_FALSE(PathExists(install.Dir())) << delete_all;
  }
}

TEST(NamesE2e, AnOwnDirectoryOf155CyrillicLettersIsRemovedUnattended) {
  StagedInstall install(Repeated(kZhe, 80) + "\\" + Repeated(kZhe, 75));
  install.Write("editor.exe", "MZ");
  install.Write(kFile, "x");
  install.Write("uninstall.dat", "\xEF\xBB\xBF[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\nf1=" +
                                     kFile + "\r\nf2=editor.exe\r\n");
  EXPECT_EQ(RunUnattended(install.Exe(), "/S"), 0u);
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  EXPECT_FALSE(PathExists(install.Dir() + kFile));
  EXPECT_FALSE(PathExists(install.Dir())) << "the batch took the program and its folder";
}

// Run by a test of its own with Wine's locale Russian: the legacy code page
// is 1251, uninstall.dat is written in it, and the active one is UTF-8.
TEST(NamesE2e, OnARussianSystemALegacyFileRemovesLongCyrillicNames) {
  DWORD legacy = 0;
  GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                 reinterpret_cast<LPWSTR>(&legacy), sizeof(legacy) / sizeof(wchar_t));
  ASSERT_EQ(legacy, 1251u) << "not a Russian system";
  // "ж" is E6 in code page 1251: 159 letters, 318 bytes once they are UTF-8.
  const std::string folder = Repeated(kZhe, 80);
  const std::string file = folder + "\\" + Repeated(kZhe, 79);
  const std::string file_1251 = Repeated("\xE6", 80) + "\\" + Repeated("\xE6", 79);
  StagedInstall install(Repeated(kZhe, 20));
  install.Write("editor.exe", "MZ");
  install.MakeDir(folder);
  install.Write(file, "x");
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=\xD0\xE5\xE4\xE0\xEA\xF2\xEE\xF0\r\nProgExe=editor.exe\r\n"
                "[Files]\r\nf1=" +
                    file_1251 + "\r\nf2=editor.exe\r\n[Dirs]\r\nd=" + Repeated("\xE6", 80) + "\r\n");
  EXPECT_EQ(RunUnattended(install.Exe(), "/S"), 0u);
  EXPECT_TRUE(WaitForBatchToFinish(kWait));
  EXPECT_FALSE(PathExists(install.Dir() + file));
  EXPECT_FALSE(PathExists(install.Dir())) << "everything it named went, and the folder with it";
}
