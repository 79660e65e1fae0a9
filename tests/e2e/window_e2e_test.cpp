#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "harness_win32.h"
// After windows.h, which it needs.
#include <commctrl.h>
#include <tlhelp32.h>

#include "linux_side_win32.h"
#include "platform/owners_win32.h"
#include "removal/file_system.h"
#include "ui/confirmation_layout.h"

namespace {

constexpr DWORD kWait = 20000;
constexpr DWORD kSettle = 300;  // long enough for a wrongly handled event to act

const char kCompleted[] = "  Uninstalling completed.";

std::string EditorSettings(const StagedInstall& install, const std::string& extra = std::string()) {
  return "[Settings]\r\nProgName=Editor\r\nVersion=2.1\r\nProgExe=editor.exe\r\nProgDir=" + install.Dir() +
         "\r\n[Files]\r\nf1=editor.exe\r\nf2=lib\\core.dll\r\n[Dirs]\r\nd1=lib\r\n" + extra;
}

void StageEditor(const StagedInstall& install) {
  install.Write("editor.exe", "MZ");
  install.MakeDir("lib");
  install.Write("lib\\core.dll", "MZ");
}

// Starts the staged uninstaller and finds its window.
struct Session {
  explicit Session(const StagedInstall& install) : run(install.Exe()) { main = WaitForMainWindow(run, kWait); }
  bool StillOpen() const {
    DWORD code = 0;
    return !run.WaitForExit(kSettle, &code) && IsWindow(main) && IsWindowVisible(main);
  }
  DWORD ExitCode() const {
    DWORD code = 99;
    EXPECT_TRUE(run.WaitForExit(kWait, &code)) << "the uninstaller did not end";
    return code;
  }
  RunningUninstaller run;
  HWND main = nullptr;
};

void RequestClose(HWND main) {
  PostMessageA(main, WM_CLOSE, 0, 0);
  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(main, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));  // Alt+F4
  PostMessageA(main, WM_SYSKEYUP, VK_F4, 1 | (1 << 29) | (3u << 30));
}

class ConfirmationWindowE2e : public ::testing::Test {
 protected:
  // Writes uninstall.dat beside a staged Editor and starts the uninstaller.
  Session& Start(const std::string& settings) {
    StageEditor(install);
    install.Write("uninstall.dat", settings);
    session = std::make_unique<Session>(install);
    return *session;
  }
  // A batch left running by Ready must end before the next test writes its own.
  void TearDown() override { EXPECT_TRUE(WaitForBatchToFinish(kWait)); }

  StagedInstall install;
  std::unique_ptr<Session> session;
};

}  // namespace

TEST_F(ConfirmationWindowE2e, LayoutMatchesTheFixedDesign) {
  Session& s = Start(EditorSettings(install));
  ASSERT_NE(s.main, nullptr);

  EXPECT_EQ(WindowText(s.main), " Editor");
  RECT client;
  GetClientRect(s.main, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 200);
  RECT outer;
  GetWindowRect(s.main, &outer);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  const LONG style = GetWindowLongA(s.main, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  const struct {
    int id;
    int x, y, w, h;
    const char* text;
    bool visible;
  } expected[] = {
      {kTitleBandId, 0, 0, 480, 48, "", true},
      {kHeadingId, 10, 10, 345, 15, "Uninstall Program", true},
      {kMessageId, 20, 24, 335, 15, "Program files and registry entries will be removed.", true},
      {kProgramIconId, 360, 8, 32, 32, "", true},
      {kUninstallInfoId, 10, 60, 380, 18, "Remove the following program from your computer:", true},
      {kProgramNameId, 10, 80, 380, 18, "Editor (Version 2.1)", true},
      {kDeleteAllId, 10, 110, 380, 15, " Delete all(!) files in the directory (including user files).", true},
      {kOkButtonId, 5, 151, 60, 20, "OK", true},
      {kCancelButtonId, 325, 151, 70, 20, "Cancel", true},
      {kReadyButtonId, 325, 151, 70, 20, "Ready", false},
      {kProgressId, 5, 153, 235, 16, "", false},
      {kDetailsButtonId, 250, 151, 70, 20, "Details...", false},
  };
  for (const auto& e : expected) {
    HWND control = ControlOf(s.main, e.id);
    ASSERT_NE(control, nullptr) << "control " << e.id;
    const RECT r = RectIn(s.main, control);
    EXPECT_EQ(r.left, e.x) << e.id;
    EXPECT_EQ(r.top, e.y) << e.id;
    EXPECT_EQ(r.right - r.left, e.w) << e.id;
    EXPECT_EQ(r.bottom - r.top, e.h) << e.id;
    EXPECT_EQ(WindowText(control), e.text) << e.id;
    EXPECT_EQ(IsWindowVisible(control) != FALSE, e.visible) << e.id;
    EXPECT_TRUE(IsWindowEnabled(control)) << e.id;
  }
  for (int button : {kOkButtonId, kCancelButtonId, kReadyButtonId}) {
    EXPECT_EQ(GetWindowLongA(ControlOf(s.main, button), GWL_STYLE) & BS_DEFPUSHBUTTON, 0) << button;
  }
  EXPECT_EQ(SendMessageA(ControlOf(s.main, kDeleteAllId), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_NE(SendMessageA(ControlOf(s.main, kProgramIconId), STM_GETIMAGE, IMAGE_ICON, 0), 0);

  HWND separator = GetDlgItem(s.main, 0);
  ASSERT_NE(separator, nullptr);
  EXPECT_EQ(GetWindowLongA(separator, GWL_STYLE) & SS_TYPEMASK, SS_ETCHEDHORZ);
  const RECT line = RectIn(s.main, separator);
  EXPECT_EQ(line.left, 2);
  EXPECT_EQ(line.top, 144);
  // Wine gives an etched line a static edge of its own around the 399 x 2 asked for.
  const bool edged = (GetWindowLongA(separator, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0;
  EXPECT_EQ(line.right - line.left, edged ? 401 : 399);
  EXPECT_EQ(line.bottom - line.top, 2);

  HWND status = StatusBarOf(s.main);
  ASSERT_NE(status, nullptr);
  const RECT bar = RectIn(s.main, status);
  EXPECT_EQ(bar.left, 0);
  EXPECT_GE(bar.right, 400);  // the platform sizes the bar; its one field ends at 400
  EXPECT_EQ(bar.bottom, 200);
  EXPECT_EQ(WindowText(status), "");

  ClickControl(s.main, kCancelButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, TabCyclesOptionOkCancel) {
  Session& s = Start(EditorSettings(install));
  ASSERT_NE(s.main, nullptr);
  HWND option = ControlOf(s.main, kDeleteAllId);
  HWND ok = ControlOf(s.main, kOkButtonId);
  HWND cancel = ControlOf(s.main, kCancelButtonId);
  EXPECT_EQ(GetNextDlgTabItem(s.main, option, FALSE), ok);
  EXPECT_EQ(GetNextDlgTabItem(s.main, ok, FALSE), cancel);
  EXPECT_EQ(GetNextDlgTabItem(s.main, cancel, FALSE), option);
  EXPECT_EQ(GetNextDlgTabItem(s.main, option, TRUE), cancel);
  ClickControl(s.main, kCancelButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, CancelRemovesNothing) {
  Session& s = Start(EditorSettings(install));
  ASSERT_NE(s.main, nullptr);
  ClickControl(s.main, kDeleteAllId);
  ClickControl(s.main, kCancelButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
  for (const char* name : {"uninstall.dat", "uninstall.exe", "editor.exe", "lib\\core.dll"}) {
    EXPECT_TRUE(PathExists(install.Dir() + name)) << name;
  }
}

TEST_F(ConfirmationWindowE2e, OkRemovesAndReadyFinishes) {
  const std::string link = install.Write("Editor.lnk", "l");
  Session& s = Start(
      EditorSettings(install, "[StartMenu]\r\nProgram=" + link + "\r\nHelp=" + install.Dir() + "missing.lnk\r\n"));
  ASSERT_NE(s.main, nullptr);
  ClickControl(s.main, kDeleteAllId);
  ClickControl(s.main, kDeleteAllId);  // the option only toggles: it ends unchecked
  EXPECT_TRUE(s.StillOpen());
  ClickControl(s.main, kOkButtonId);
  ASSERT_TRUE(WaitForText(StatusBarOf(s.main), kCompleted, kWait)) << WindowText(StatusBarOf(s.main));

  EXPECT_FALSE(IsWindowVisible(ControlOf(s.main, kOkButtonId)));
  EXPECT_FALSE(IsWindowVisible(ControlOf(s.main, kCancelButtonId)));
  EXPECT_TRUE(IsWindowVisible(ControlOf(s.main, kReadyButtonId)));
  EXPECT_TRUE(IsWindowVisible(ControlOf(s.main, kDeleteAllId)));
  EXPECT_FALSE(IsWindowEnabled(ControlOf(s.main, kDeleteAllId))) << "frozen after OK";
  EXPECT_FALSE(IsWindowVisible(ControlOf(s.main, kDetailsButtonId))) << "nothing stayed";
  EXPECT_EQ(SendMessageA(ControlOf(s.main, kDeleteAllId), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  EXPECT_FALSE(PathExists(link));
  EXPECT_FALSE(PathExists(install.Dir() + "editor.exe"));
  EXPECT_FALSE(PathExists(install.Dir() + "lib"));
  EXPECT_TRUE(PathExists(install.Dir() + "uninstall.dat"));
  EXPECT_TRUE(s.StillOpen()) << "only Ready ends the finished run";

  ClickControl(s.main, kReadyButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
  EXPECT_FALSE(PathExists(install.Dir() + "uninstall.dat"));
}

TEST_F(ConfirmationWindowE2e, CloseRequestsAreIgnoredWhileWaitingAndWhenFinished) {
  Session& s = Start(EditorSettings(install));
  ASSERT_NE(s.main, nullptr);
  RequestClose(s.main);
  EXPECT_TRUE(s.StillOpen());
  EXPECT_TRUE(IsWindowVisible(ControlOf(s.main, kOkButtonId)));
  EXPECT_TRUE(PathExists(install.Dir() + "editor.exe"));

  ClickControl(s.main, kOkButtonId);
  ASSERT_TRUE(WaitForText(StatusBarOf(s.main), kCompleted, kWait));
  RequestClose(s.main);
  EXPECT_TRUE(s.StillOpen());
  EXPECT_TRUE(PathExists(install.Dir() + "uninstall.dat"));
  ClickControl(s.main, kReadyButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, NoDelAllHidesTheOptionInTheProgramsDirectory) {
  Session& s = Start("[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nNoDelAll=1\r\nProgDir=" +
                     WithoutTrailingBackslashes(install.Dir()) + "\r\n");
  ASSERT_NE(s.main, nullptr);
  EXPECT_FALSE(IsWindowVisible(ControlOf(s.main, kDeleteAllId)));
  ClickControl(s.main, kCancelButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, NoDelAllCountsForNothingElsewhere) {
  Session& s = Start("[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nNoDelAll=1\r\nProgDir=C:\\Elsewhere\r\n");
  ASSERT_NE(s.main, nullptr);
  EXPECT_TRUE(IsWindowVisible(ControlOf(s.main, kDeleteAllId)));
  ClickControl(s.main, kCancelButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, LanguageTextsFromAUtf8File) {
  Session& s = Start(
      "\xEF\xBB\xBF[Settings]\r\nProgName=R\xC3\xA9"
      "dacteur\r\nVersion=3\r\nProgExe=editor.exe\r\n"
      "[Language]\r\nTitel=D\xC3\xA9sinstaller\r\nMsg=Tout part.\r\nVersion=Vers.\r\nUninstInfo=Retirer :\r\n"
      "DelAll=Tout effacer\r\nOK=Oui\r\nCancel=Non\r\nReady=Fini\r\nStatus=Termin\xC3\xA9\r\n"
      "[Files]\r\nf=editor.exe\r\n");
  ASSERT_NE(s.main, nullptr);
  EXPECT_EQ(WindowText(s.main),
            " R\xC3\xA9"
            "dacteur");
  EXPECT_EQ(WindowText(ControlOf(s.main, kHeadingId)), "D\xC3\xA9sinstaller");
  EXPECT_EQ(WindowText(ControlOf(s.main, kMessageId)), "Tout part.");
  EXPECT_EQ(WindowText(ControlOf(s.main, kUninstallInfoId)), "Retirer :");
  EXPECT_EQ(WindowText(ControlOf(s.main, kProgramNameId)),
            "R\xC3\xA9"
            "dacteur (Vers. 3)");
  EXPECT_EQ(WindowText(ControlOf(s.main, kDeleteAllId)), " Tout effacer");
  EXPECT_EQ(WindowText(ControlOf(s.main, kOkButtonId)), "Oui");
  EXPECT_EQ(WindowText(ControlOf(s.main, kCancelButtonId)), "Non");
  EXPECT_EQ(WindowText(ControlOf(s.main, kReadyButtonId)), "Fini");
  ClickControl(s.main, kOkButtonId);
  EXPECT_TRUE(WaitForText(StatusBarOf(s.main), "  Termin\xC3\xA9", kWait));
  ClickControl(s.main, kReadyButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, RightToLeftMirrorsTheWindowAndItsBoxes) {
  // A Hebrew uninstall.dat, in UTF-8 with its signature.
  Session& s = Start(
      "\xEF\xBB\xBF[Settings]\r\nProgName=עורך\r\nProgExe=missing.exe\r\n[Language]\r\nRightToLeft=1\r\n"
      "OK=אישור\r\nCancel=ביטול\r\nError=לא ניתן להסיר את התוכנית.\r\n[Files]\r\nf=editor.exe\r\n");
  ASSERT_NE(s.main, nullptr);
  EXPECT_NE(GetWindowLongA(s.main, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "the window is mirrored";
  RECT ok{}, cancel{};
  GetWindowRect(ControlOf(s.main, kOkButtonId), &ok);
  GetWindowRect(ControlOf(s.main, kCancelButtonId), &cancel);
  EXPECT_GT(ok.left, cancel.left) << "OK stands where Cancel stands left to right";
  EXPECT_EQ(WindowText(ControlOf(s.main, kOkButtonId)), "אישור");
  ClickControl(s.main, kOkButtonId);
  HWND box = s.run.WaitForWindow("#32770", kWait);
  ASSERT_NE(box, nullptr);
  // Wine shows a box's MB_RTLREADING and MB_RIGHT in no style of its own;
  // the native tests see the program ask for them.
  EXPECT_EQ(ControlText(box, 0xFFFF), "לא ניתן להסיר את התוכנית.");
  ClickControl(box, IDOK);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, AFailedRemovalShowsTheBoxAndEndsWithoutReady) {
  Session& s = Start("[Settings]\r\nProgName=Editor\r\nProgExe=missing.exe\r\n[Files]\r\nf=editor.exe\r\n");
  ASSERT_NE(s.main, nullptr);
  ClickControl(s.main, kOkButtonId);
  HWND box = s.run.WaitForWindow("#32770", kWait);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), " Uninstall Program");
  EXPECT_EQ(ControlText(box, 0xFFFF), "Uninstalling program not possible.");
  EXPECT_FALSE(IsWindowEnabled(s.main)) << "the box is modal to the window";
  ClickControl(box, IDOK);
  EXPECT_EQ(s.ExitCode(), 0u);
  EXPECT_TRUE(PathExists(install.Dir() + "uninstall.dat")) << "no clean-up after a failure";
}

TEST_F(ConfirmationWindowE2e, OversizedAndOddValuesNeverBreakTheRun) {
  const std::string long_name(5000, 'N');
  const std::string long_path = install.Dir() + std::string(300, 'p') + ".lnk";
  install.MakeDir("folder.lnk");
  Session& s = Start("[Settings]\r\nProgName=" + long_name + "\r\nProgExe=editor.exe\r\nDesktopIcon=" + long_path +
                     "\r\n[StartMenu]\r\nProgram=" + install.Dir() +
                     "folder.lnk\r\n[Language]\r\nTitel=\r\nMsg=\r\nOK=\r\nStatus=\r\n[Files]\r\n"
                     "f=editor.exe\r\n");
  ASSERT_NE(s.main, nullptr);
  EXPECT_EQ(WindowText(ControlOf(s.main, kHeadingId)), "");
  EXPECT_EQ(WindowText(ControlOf(s.main, kOkButtonId)), "");
  ClickControl(s.main, kOkButtonId);
  EXPECT_TRUE(WaitForText(StatusBarOf(s.main), "  ", kWait));
  EXPECT_TRUE(PathExists(install.Dir() + "folder.lnk")) << "a directory is never deleted as a link";
  ClickControl(s.main, kReadyButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, AnAdministratorIsNotAskedToLogOn) {
  // Wine's answer to the administrator test is always yes.
  Session& s = Start("[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nLoginAdmin=1\r\n");
  ASSERT_NE(s.main, nullptr);
  EXPECT_EQ(s.run.WaitForWindow("QuillmarnLogon", kSettle), nullptr);
  ClickControl(s.main, kCancelButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

namespace {

// The display scaling that the prefix gives the programs started after it is set.
DWORD LogPixels() {
  DWORD value = 0, size = sizeof(value);
  const LONG found =
      RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", RRF_RT_REG_DWORD, nullptr, &value, &size);
  return found == ERROR_SUCCESS ? value : 96;
}

void SetLogPixels(DWORD dpi) {
  RegistryKey key;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                  nullptr);
  RegSetValueExA(key.Get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
}

}  // namespace

TEST_F(ConfirmationWindowE2e, AtEachDisplayScalingTheWindowIsLaidOutForIt) {
  const DWORD saved = LogPixels();
  for (const int dpi : {96, 120, 144, 192}) {
    SetLogPixels(static_cast<DWORD>(dpi));
    Session& s = Start(EditorSettings(install));
    ASSERT_NE(s.main, nullptr) << dpi;
    RECT client;
    GetClientRect(s.main, &client);
    EXPECT_NEAR(client.right, Scaled(400, dpi), 1) << dpi;
    EXPECT_NEAR(client.bottom, Scaled(200, dpi), 1) << dpi;
    for (const ControlRow& layout : kControls) {
      if (layout.id == 0) continue;  // the separator, which Wine gives an edge of its own
      const RECT r = RectIn(s.main, ControlOf(s.main, layout.id));
      EXPECT_NEAR(r.left, Scaled(layout.x, dpi), 1) << layout.id << " at " << dpi;
      EXPECT_NEAR(r.top, Scaled(layout.y, dpi), 1) << layout.id << " at " << dpi;
      EXPECT_NEAR(r.right - r.left, Scaled(layout.width, dpi), 1) << layout.id << " at " << dpi;
      EXPECT_NEAR(r.bottom - r.top, Scaled(layout.height, dpi), 1) << layout.id << " at " << dpi;
    }
    ClickControl(s.main, kCancelButtonId);
    EXPECT_EQ(s.ExitCode(), 0u);
  }
  SetLogPixels(saved);
}

TEST_F(ConfirmationWindowE2e, A20000FileRemovalAnswersThroughoutAndShowsItsProgressInBothModes) {
  for (const bool delete_all : {false, true}) {
    StagedInstall big;
    StageEditor(big);
    std::string values = "[Files]\r\nf=editor.exe\r\n";
    std::string dirs = "[Dirs]\r\n";
    for (int d = 0; d < 20; ++d) {
      const std::string dir = "d" + std::to_string(d);
      big.MakeDir(dir);
      ASSERT_TRUE(MakeManyFiles(big.Dir() + dir, 1000));
      dirs += dir + "=" + dir + "\r\n";
      for (int i = 1; i <= 1000 && !delete_all; ++i) values += "v=" + dir + "\\f" + std::to_string(i) + ".dat\r\n";
    }
    big.Write("uninstall.dat", "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n" + values + dirs);
    Session s(big);
    ASSERT_NE(s.main, nullptr);
    HWND bar = ControlOf(s.main, kProgressId);
    if (delete_all) ClickControl(s.main, kDeleteAllId);
    ClickControl(s.main, kOkButtonId);
    // Asked every 20 ms until the end: how long the window takes to answer,
    // and what the bar shows meanwhile.
    DWORD longest = 0;
    bool part_way = false;
    bool ready_early = false;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 60000;) {
      const DWORD asked = GetTickCount();
      DWORD_PTR result = 0;
      ASSERT_TRUE(SendMessageTimeoutA(s.main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result)) << "no answer for 2 s";
      longest = std::max(longest, GetTickCount() - asked);
      // Read before the text: while the text is not the last one yet, the
      // steps had not ended when Ready was looked at either.
      HWND ready = ControlOf(s.main, kReadyButtonId);
      const bool ready_now = IsWindowVisible(ready) && IsWindowEnabled(ready);
      const LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
      const bool marquee = (GetWindowLongA(bar, GWL_STYLE) & PBS_MARQUEE) != 0;
      if (WindowText(StatusBarOf(s.main)) == kCompleted) break;
      part_way = part_way || (IsWindowVisible(bar) && (delete_all ? marquee : position > 0 && position < 100));
      ready_early = ready_early || ready_now;
      Sleep(20);
    }
    printf("longest wait for an answer, %s: %lu ms\n", delete_all ? "delete-all" : "listed", longest);
    EXPECT_LT(longest, 1000u) << delete_all;
    EXPECT_TRUE(part_way) << delete_all;
    EXPECT_FALSE(ready_early) << "Ready acts only once the steps have ended";
    ASSERT_TRUE(WaitForText(StatusBarOf(s.main), kCompleted, kWait));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100) << "full at the end";
    EXPECT_EQ(GetWindowLongA(bar, GWL_STYLE) & PBS_MARQUEE, 0);
    EXPECT_FALSE(PathExists(big.Dir() + "d19\\f1000.dat"));
    ClickControl(s.main, kReadyButtonId);
    EXPECT_EQ(s.ExitCode(), 0u);
    EXPECT_TRUE(WaitForBatchToFinish(kWait));
  }
}

TEST_F(ConfirmationWindowE2e, ARussianListOfWhatStayedCountsByTheRussianRule) {
  // The user's folders of 1, 2, 5 and 21 entries beside the program.
  StageEditor(install);
  for (const int count : {1, 2, 5, 21}) {
    const std::string folder = "u" + std::to_string(count);
    install.MakeDir(folder);
    for (int i = 0; i < count; ++i) install.Write(folder + "\\f" + std::to_string(i), "mine");
  }
  install.Write("uninstall.dat",
                "\xEF\xBB\xBF[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Language]\r\nPlural=ru\r\n"
                "Entries=$N записей\r\nEntriesOne=$N запись\r\nEntriesFew=$N записи\r\nEntriesMany=$N записей\r\n"
                "WhyHeld=оставлена: в ней $N объектов, не установленных программой\r\n"
                "WhyHeldFew=оставлена: в ней $N объекта, не установленных программой\r\n"
                "[Files]\r\nf1=editor.exe\r\nf2=lib\\core.dll\r\n[Dirs]\r\nd1=lib\r\n");
  Session s(install);
  ASSERT_NE(s.main, nullptr);
  ClickControl(s.main, kOkButtonId);
  ASSERT_TRUE(WaitForText(StatusBarOf(s.main), kCompleted, kWait));
  ClickControl(s.main, kDetailsButtonId);
  HWND details = s.run.WaitForWindow("QuillmarnDetails", kWait);
  ASSERT_NE(details, nullptr);
  const std::string own = install.Dir().substr(0, install.Dir().size() - 1);
  EXPECT_EQ(WindowText(GetDlgItem(details, kStayedListId)),
            own +
                ": оставлена: в ней 4 объекта, не установленных программой\r\n"
                "  u1\\ (1 запись)\r\n  u2\\ (2 записи)\r\n  u21\\ (21 запись)\r\n  u5\\ (5 записей)\r\n");
  PressKey(details, VK_ESCAPE);
  ClickControl(s.main, kReadyButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
}

TEST_F(ConfirmationWindowE2e, DetailsListWhatStayedAndWhyNamingTheUsersFiles) {
  // A user's file in the own directory and one in a listed directory, and a
  // listed file the system refuses to delete: read-only, which listed
  // removal leaves as it is. That reason comes from [Language].
  StageEditor(install);
  install.Write("letter.doc", "mine");
  install.Write("lib\\notes.txt", "mine");
  install.MakeDir("locked");
  const std::string secret = install.Write("locked\\secret.dll", "x");
  ASSERT_TRUE(SetFileAttributesA(secret.c_str(), FILE_ATTRIBUTE_READONLY));
  install.Write("uninstall.dat",
                "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Language]\r\nWhyDenied=geweigerd\r\n"
                "[Files]\r\nf1=editor.exe\r\nf2=lib\\core.dll\r\nf3=locked\\secret.dll\r\n[Dirs]\r\nd1=lib\r\n");
  Session s(install);
  ASSERT_NE(s.main, nullptr);
  ClickControl(s.main, kOkButtonId);
  ASSERT_TRUE(WaitForText(StatusBarOf(s.main), kCompleted, kWait));
  ASSERT_TRUE(IsWindowVisible(ControlOf(s.main, kDetailsButtonId)));
  ClickControl(s.main, kDetailsButtonId);
  HWND details = s.run.WaitForWindow("QuillmarnDetails", kWait);
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(GetWindow(details, GW_OWNER), s.main);
  const std::string own = install.Dir().substr(0, install.Dir().size() - 1);
  EXPECT_EQ(WindowText(GetDlgItem(details, kStayedListId)),
            install.Dir() + "locked\\secret.dll: geweigerd\r\n" + install.Dir() +
                "lib: kept, it holds 1 file or folder the setup did not install\r\n"
                "  lib\\notes.txt\r\n" +
                own +
                ": kept, it holds 1 file or folder the setup did not install\r\n"
                "  letter.doc\r\n");
  // Open folder shows the folder through the shell, which the program loads only now.
  const size_t shells = ProcessesNamed("explorer.exe").size();
  ClickControl(details, kOpenFolderId);
  std::vector<DWORD> opened;
  for (int waited = 0; waited < 10000 && opened.size() <= shells; waited += 100) {
    Sleep(100);
    opened = ProcessesNamed("explorer.exe");
  }
  EXPECT_GT(opened.size(), shells) << "no folder window was opened";
  KernelHandle folder(OpenProcess(PROCESS_TERMINATE, FALSE, opened.back()));
  if (opened.size() > shells && folder.Valid()) TerminateProcess(folder.Get(), 0);
  // Escape closes it, and the focus is back on Details.
  PressKey(details, VK_ESCAPE);
  for (int waited = 0; waited < 5000 && IsWindow(details); waited += 50) Sleep(50);
  EXPECT_FALSE(IsWindow(details));
  EXPECT_EQ(FocusOf(s.main), ControlOf(s.main, kDetailsButtonId));
  ClickControl(s.main, kReadyButtonId);
  EXPECT_EQ(s.ExitCode(), 0u);
  SetFileAttributesA(secret.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

// Tab until the control has the focus, a few times at most.
bool TabTo(HWND main, HWND control) {
  for (int tabs = 0; tabs < 4; ++tabs) {
    PressKey(main, VK_TAB);
    for (int waited = 0; waited < 500; waited += 20) {
      if (FocusOf(main) == control) return true;
      Sleep(20);
    }
  }
  return false;
}

}  // namespace

TEST_F(ConfirmationWindowE2e, TheKeyboardAloneTakesTheRunToItsEnd) {
  install.Write("letter.doc", "mine");  // something stays: Details is offered
  Session& s = Start(EditorSettings(install));
  ASSERT_NE(s.main, nullptr);
  ASSERT_TRUE(TabTo(s.main, ControlOf(s.main, kOkButtonId)));
  PressKey(s.main, VK_SPACE);
  ASSERT_TRUE(WaitForText(StatusBarOf(s.main), kCompleted, kWait));
  HWND ready = ControlOf(s.main, kReadyButtonId);
  EXPECT_EQ(FocusOf(s.main), ready);
  EXPECT_EQ(GetNextDlgTabItem(s.main, ready, FALSE), ControlOf(s.main, kDetailsButtonId));
  PressKey(s.main, VK_SPACE);
  EXPECT_EQ(s.ExitCode(), 0u);
  EXPECT_FALSE(PathExists(install.Dir() + "editor.exe"));
}

TEST_F(ConfirmationWindowE2e, TheTitleBandTakesTheThemesWindowColours) {
  const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
  const COLORREF usual[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
  const COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
  struct Restore {
    const int* elements;
    const COLORREF* colours;
    ~Restore() { SetSysColors(2, elements, colours); }
  } restore{elements, usual};
  // Under Wine a running program keeps the colours it started with: each
  // palette is set before the uninstaller starts.
  for (const COLORREF* palette : {contrast, usual}) {
    ASSERT_TRUE(SetSysColors(2, elements, palette));
    Session& s = Start(EditorSettings(install));
    ASSERT_NE(s.main, nullptr);
    Sleep(kSettle);
    HWND heading = ControlOf(s.main, kHeadingId);
    RECT text;
    GetWindowRect(heading, &text);
    POINT band = {4, 44};
    ClientToScreen(s.main, &band);
    HDC screen = GetDC(nullptr);
    const COLORREF background = GetPixel(screen, band.x, band.y);
    const COLORREF beside_text = GetPixel(screen, text.right - 2, text.top + 2);
    int text_pixels = 0;
    for (int y = text.top; y < text.bottom; ++y) {
      for (int x = text.left; x < text.right; ++x) text_pixels += GetPixel(screen, x, y) == palette[1] ? 1 : 0;
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(background, palette[0]);
    EXPECT_EQ(beside_text, palette[0]) << "the heading shares the band's background";
    EXPECT_GT(text_pixels, 20) << "the heading is drawn in the window-text colour";
    ClickControl(s.main, kCancelButtonId);
    EXPECT_EQ(s.ExitCode(), 0u);
  }
}

TEST_F(ConfirmationWindowE2e, WithUserAccountControlTheSystemsPromptStartsItOnceMoreAndItsCodeComesThrough) {
  // Wine runs every process elevated: this makes the program see a filtered
  // administrator's token under User Account Control, as its child does.
  StageEditor(install);
  install.Write("uninstall.dat", "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\nLoginAdmin=1\r\n");
  ASSERT_TRUE(CopyFileA(FilteredUninstaller().c_str(), install.Exe().c_str(), FALSE)) << FilteredUninstaller();
  const std::string log = install.Parent() + "elevation.log";
  SetEnvironmentVariableA("QUILLMARN_FILTERED_TOKEN", "1");
  RunningUninstaller parent(install.Exe(), std::string(), "/LOG=" + log);
  SetEnvironmentVariableA("QUILLMARN_FILTERED_TOKEN", nullptr);
  HWND child = nullptr;
  DWORD child_id = 0;
  for (DWORD waited = 0; waited < kWait && child == nullptr; waited += 50) {
    for (HWND w = FindWindowA("QuillmarnUninstall", nullptr); w != nullptr && child == nullptr;
         w = FindWindowExA(nullptr, w, "QuillmarnUninstall", nullptr)) {
      GetWindowThreadProcessId(w, &child_id);
      if (child_id != parent.Id() && IsWindowVisible(w)) child = w;
    }
    if (child == nullptr) Sleep(50);
  }
  ASSERT_NE(child, nullptr) << "no elevated run";
  EXPECT_FALSE(parent.ShowsAWindow()) << "the first process shows no window of its own";
  EXPECT_EQ(FindWindowA("QuillmarnLogon", nullptr), nullptr) << "the elevated run asks nothing more";
  // What the elevated run ends with, the first one ends with.
  KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, child_id));
  ASSERT_TRUE(process.Valid());
  TerminateProcess(process.Get(), 4321);
  DWORD code = 0;
  ASSERT_TRUE(parent.WaitForExit(kWait, &code));
  EXPECT_EQ(code, 4321u);
  const std::string text = ReadWholeFile(log);
  // The first run opens the log only after the elevated one, which it told
  // first that it is the elevated one, and where the log is.
  EXPECT_NE(text.find("uninstall.exe\" /ELEVATED /LOG=" + log + "\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" the elevated run ended, exit code 4321\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("start:"), text.rfind("start:")) << "one start, the elevated run's";
  EXPECT_TRUE(PathExists(install.Dir() + "editor.exe"));
}
