#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "box_watch_win32.h"
#include "driver/removal_steps.h"
#include "in_process_platform_win32.h"
#include "settings/settings_file_win32.h"
#include "temp_tree_win32.h"
#include "ui/confirmation_window_win32.h"

namespace {

// An installed Editor with links, a start-menu folder and files in its own directory.
class StagedEditor {
 public:
  StagedEditor() {
    own = tree.MakeDir("Editor") + "\\";
    menu = tree.MakeDir("Menu") + "\\";
    tree.MakeDir("Menu\\Editor");
    tree.MakeDir("Desk");
    tree.Write("Editor\\editor.exe", "MZ");
    tree.MakeDir("Editor\\data");
    tree.MakeDir("Editor\\data\\sub");
    tree.Write("Editor\\data\\notes.txt", "n");
    tree.Write("Editor\\readonly.dll", "r");
    SetFileAttributesA((own + "readonly.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    tree.Write("Menu\\Editor\\Editor.lnk", "l");
    tree.Write("Desk\\Editor.lnk", "l");
  }
  void WriteSettings(const std::string& extra) {
    tree.Write("Editor\\uninstall.dat",
               "[Settings]\r\nProgName=Editor\r\nVersion=2.1\r\nProgExe=editor.exe\r\nProgDir=" + own +
                   "\r\nStartMenu=" + menu + "Editor\r\nDesktopIcon=" + tree.Path() + "Desk\\Editor.lnk\r\n" +
                   "[StartMenu]\r\nProgram=" + menu + "Editor\\Editor.lnk\r\nHelp=" + menu + "Editor\\Help.lnk\r\n" +
                   "[Files]\r\nf1=editor.exe\r\nf2=data\\notes.txt\r\nf3=readonly.dll\r\nf4=uninstall.dat\r\n" +
                   "[Dirs]\r\nd1=data\\sub\r\nd2=data\r\n" + extra);
    DiskFiles disk;
    run.settings = ReadUninstallSettings(disk, own);
    run.texts = LoadUiTexts(disk, own + "uninstall.dat");
  }
  ~StagedEditor() { SetFileAttributesA((own + "readonly.dll").c_str(), FILE_ATTRIBUTE_NORMAL); }

  TempTree tree;
  std::string own;
  std::string menu;
  UninstallRun run;
};

class ConfirmationWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { StopWatchingForBoxes(); }
};

}  // namespace

TEST_F(ConfirmationWindowTest, RemovalStepsShowTheirTextsInOrderOnTheStatusLine) {
  StagedEditor staged;
  staged.WriteSettings("");
  ConfirmationWindow window(staged.run.texts);
  ASSERT_TRUE(window.Open());
  InProcessPlatform platform(window);
  const std::vector<std::string>& texts = platform.status_texts;

  EXPECT_FALSE(HandleControl(staged.run, platform, kOkButtonId));

  const std::string& own = staged.own;
  const std::vector<std::string> expected = {
      "  " + staged.menu + "Editor\\Editor.lnk",
      "  " + staged.menu + "Editor\\Help.lnk",  // announced although it is missing
      "  " + staged.tree.Path() + "Desk\\Editor.lnk",
      "  " + staged.menu + "Editor",
      "  " + own + "data\\notes.txt",
      "  " + own + "editor.exe",  // the program's file goes last
      "  " + own + "data\\sub*.*",
      "  " + own + "data*.*",
      "  Uninstalling completed.",
  };
  EXPECT_EQ(texts, expected);
  EXPECT_TRUE(staged.run.removal_succeeded);
  EXPECT_FALSE(staged.run.end);

  EXPECT_FALSE(PathExists(staged.menu + "Editor"));
  EXPECT_FALSE(PathExists(staged.tree.Path() + "Desk\\Editor.lnk"));
  EXPECT_FALSE(PathExists(own + "editor.exe"));
  EXPECT_FALSE(PathExists(own + "data"));
  EXPECT_TRUE(PathExists(own + "readonly.dll")) << "listed removal leaves read-only files";
  EXPECT_TRUE(PathExists(own + "uninstall.dat")) << "held open while the files are removed";

  EXPECT_FALSE(IsWindowVisible(window.Control(kOkButtonId)));
  EXPECT_FALSE(IsWindowVisible(window.Control(kCancelButtonId)));
  EXPECT_TRUE(IsWindowVisible(window.Control(kReadyButtonId)));
  EXPECT_TRUE(IsWindowVisible(window.Control(kDeleteAllId)));
  EXPECT_FALSE(IsWindowEnabled(window.Control(kDeleteAllId)));

  EXPECT_TRUE(HandleControl(staged.run, platform, kReadyButtonId));
  EXPECT_FALSE(PathExists(own + "uninstall.dat"));
  EXPECT_EQ(platform.batches, std::vector<std::string>{own});
  EXPECT_EQ(texts.size(), expected.size()) << "Ready shows no text";
}

TEST_F(ConfirmationWindowTest, DeleteAllTakesEveryFileOfTheOwnDirectory) {
  StagedEditor staged;
  staged.WriteSettings("");
  staged.tree.MakeDir("Editor\\unlisted");
  ConfirmationWindow window(staged.run.texts);
  ASSERT_TRUE(window.Open());
  SendMessageA(window.Control(kDeleteAllId), BM_SETCHECK, BST_CHECKED, 0);
  InProcessPlatform platform(window);
  const std::vector<std::string>& texts = platform.status_texts;
  HandleControl(staged.run, platform, kOkButtonId);
  EXPECT_TRUE(staged.run.removal_succeeded);
  EXPECT_EQ(texts.back(), "  Uninstalling completed.");
  EXPECT_EQ(texts[texts.size() - 2], "  " + staged.own + "*.*");
  EXPECT_FALSE(PathExists(staged.own + "readonly.dll"));
  EXPECT_FALSE(PathExists(staged.own + "uninstall.dat"));
  EXPECT_FALSE(PathExists(staged.own + "data"));
  EXPECT_TRUE(PathExists(staged.own + "unlisted")) << "a directory not listed in [Dirs] stays";
}

TEST_F(ConfirmationWindowTest, AFailedDirectoryStepShowsTheFailureBoxAndEnds) {
  StagedEditor staged;
  staged.WriteSettings("[Language]\r\nTitel=Entfernen\r\nError=Nicht m\xF6glich\r\nStatus=Fertig\r\n");
  DeleteFileA((staged.own + "editor.exe").c_str());
  ConfirmationWindow window(staged.run.texts);
  ASSERT_TRUE(window.Open());
  InProcessPlatform platform(window);
  const std::vector<std::string>& texts = platform.status_texts;
  BoxSighting seen;
  WatchForBox(seen);
  EXPECT_TRUE(HandleControl(staged.run, platform, kOkButtonId));
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.caption, " Entfernen");
  EXPECT_EQ(seen.text, "Nicht m\xC3\xB6glich") << "the legacy code page's letter, exact";
  EXPECT_FALSE(staged.run.removal_succeeded);
  EXPECT_EQ(texts.back(), "  Fertig");
  EXPECT_TRUE(PathExists(staged.own + "data\\notes.txt"));
}

TEST_F(ConfirmationWindowTest, FontsStatusFieldAndIconAreAsLaidOut) {
  UiTexts texts;
  texts.program_name = "Editor";
  ConfirmationWindow window(texts);
  ASSERT_TRUE(window.Open());
  RECT client;
  GetClientRect(window.Handle(), &client);
  EXPECT_EQ(client.right, kConfirmationWindow.client_width);
  EXPECT_EQ(client.bottom, kConfirmationWindow.client_height);

  HDC screen = GetDC(nullptr);
  const int pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  for (const ControlRow& layout : kControls) {
    if (layout.font == ControlFont::None || layout.font == ControlFont::DefaultGui) continue;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window.Control(layout.id), WM_GETFONT, 0, 0));
    LOGFONTA described{};
    ASSERT_TRUE(GetObjectA(font, sizeof(described), &described)) << layout.id;
    EXPECT_STREQ(described.lfFaceName, "Arial") << layout.id;
    EXPECT_EQ(described.lfHeight, FontHeight(FontLookOf(layout.font).points, pixels_per_inch)) << layout.id;
    EXPECT_EQ(described.lfWeight, FontLookOf(layout.font).weight) << layout.id;
    EXPECT_FALSE(described.lfItalic || described.lfUnderline || described.lfStrikeOut) << layout.id;
  }
  HFONT gui = reinterpret_cast<HFONT>(SendMessageA(window.Control(kOkButtonId), WM_GETFONT, 0, 0));
  EXPECT_EQ(gui, GetStockObject(DEFAULT_GUI_FONT));

  int parts[4] = {};
  EXPECT_EQ(SendMessageA(window.Status().Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 1);
  EXPECT_EQ(parts[0], kStatusFieldRight);
  EXPECT_EQ(GetWindowLongA(window.Status().Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);

  HICON icon = reinterpret_cast<HICON>(SendMessageA(window.Control(kProgramIconId), STM_GETIMAGE, IMAGE_ICON, 0));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  GetObjectA(info.hbmColor, sizeof(colour), &colour);
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_NE(GetClassLongPtrA(window.Handle(), GCLP_HICON), 0u);
}

TEST_F(ConfirmationWindowTest, HidingTheOptionUnchecksIt) {
  UiTexts texts;
  ConfirmationWindow window(texts);
  ASSERT_TRUE(window.Open());
  SendMessageA(window.Control(kDeleteAllId), BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(window.IsDeleteAllChecked());
  window.HideDeleteAllOption();
  EXPECT_FALSE(window.IsDeleteAllChecked());
  EXPECT_FALSE(IsWindowVisible(window.Control(kDeleteAllId)));
  window.Close();
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(window.Control(kOkButtonId), nullptr);
}

namespace {

int status_paints = 0;
WNDPROC counted_proc = nullptr;

LRESULT CALLBACK CountPaints(HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) ++status_paints;
  return CallWindowProcA(counted_proc, bar, message, wparam, lparam);
}

}  // namespace

TEST_F(ConfirmationWindowTest, TextsAreSetAtOnceAndPaintedOnlyWhenFlushed) {
  UiTexts texts;
  ConfirmationWindow window(texts);
  ASSERT_TRUE(window.Open());
  HWND bar = window.Status().Handle();
  counted_proc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
  status_paints = 0;
  char shown[64] = {};
  for (int i = 0; i < 200; ++i) {
    const std::string text = "  file " + std::to_string(i);
    window.Status().Show(text);
    SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
    ASSERT_EQ(std::string(shown), text) << "the control holds every text at once";
  }
  EXPECT_EQ(status_paints, 0) << "thousands of texts cost no paint each";
  window.Status().Flush();
  RECT unpainted;
  EXPECT_FALSE(GetUpdateRect(bar, &unpainted, FALSE)) << "the last text is on the screen after the step";
  SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(counted_proc));
}

TEST_F(ConfirmationWindowTest, AtEveryResolutionTheLayoutScalesAndEveryTextFitsItsControl) {
  UiTexts texts;
  texts.program_name = "Editor";
  texts.name_line = "Editor (Version 2.1)";
  ConfirmationWindow window(texts);
  ASSERT_TRUE(window.Open());
  for (const int dpi : {96, 120, 144, 192}) {
    // As the system tells a window that moved to a display of this resolution.
    RECT outer{100, 100, 100 + Scaled(406, dpi), 100 + Scaled(229, dpi)};
    SendMessageA(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
    for (const ControlRow& layout : kControls) {
      HWND control = window.Control(layout.id);
      if (control == nullptr) continue;  // the separator is known by no identifier of its own
      RECT r;
      GetWindowRect(control, &r);
      MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_NEAR(r.left, Scaled(layout.x, dpi), 1) << layout.id << " at " << dpi;
      EXPECT_NEAR(r.top, Scaled(layout.y, dpi), 1) << layout.id << " at " << dpi;
      EXPECT_NEAR(r.right - r.left, Scaled(layout.width, dpi), 1) << layout.id << " at " << dpi;
      EXPECT_NEAR(r.bottom - r.top, Scaled(layout.height, dpi), 1) << layout.id << " at " << dpi;
      if (layout.kind != ControlKind::Text && layout.kind != ControlKind::CheckBox) continue;
      // The text, measured with the control's own font, within the control.
      char text[256] = {};
      GetWindowTextA(control, text, sizeof(text));
      HDC dc = GetDC(control);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
      SIZE extent{};
      GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      const int box = layout.kind == ControlKind::CheckBox ? Scaled(13 + 3, dpi) : 0;
      EXPECT_LE(extent.cx + box, r.right - r.left) << text << " at " << dpi;
      EXPECT_LE(extent.cy, r.bottom - r.top) << text << " at " << dpi;
    }
    HICON icon = reinterpret_cast<HICON>(SendMessageA(window.Control(kProgramIconId), STM_GETIMAGE, IMAGE_ICON, 0));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, Scaled(32, dpi)) << "the icon's image fits the resolution";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    int parts[2] = {};
    SendMessageA(window.Status().Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    EXPECT_EQ(parts[0], Scaled(kStatusFieldRight, dpi));
  }
}
