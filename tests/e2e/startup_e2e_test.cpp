#include <gtest/gtest.h>

#include "harness_win32.h"

namespace {

constexpr DWORD kWindowWait = 20000;
constexpr DWORD kExitWait = 20000;

// The message box's text control and OK button.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxOkId = IDOK;

// The red of the error icon, as a share of the icon's pixels on screen.
double RedShareOfIcon(HWND box) {
  HWND icon = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowClass(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
  }
  if (icon == nullptr) return -1;
  RECT r;
  GetWindowRect(icon, &r);
  HDC screen = GetDC(nullptr);
  int red = 0, total = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      ++total;
      if (GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90) ++red;
    }
  }
  ReleaseDC(nullptr, screen);
  return total == 0 ? -1 : static_cast<double>(red) / total;
}

}  // namespace

TEST(Startup, OnAGermanSystemTheMissingFileBoxIsGerman) {
  // Before there is an uninstall.dat, the box speaks the user's UI language.
  StagedInstall install;
  RunningUninstaller run(install.Exe());
  HWND box = run.WaitForWindow("#32770", kWindowWait);
  ASSERT_NE(box, nullptr) << "no message box appeared";
  EXPECT_EQ(WindowText(box), " Quillmarn - Fehler");
  EXPECT_EQ(ControlText(box, kBoxTextId),
            "Die Datei „uninstall.dat“ wurde nicht gefunden:\n" + install.Dir() + "uninstall.dat");
  ClickControl(box, kBoxOkId);
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kExitWait, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, MissingSettingsFileShowsTheFixedErrorBoxAndEndsWithZero) {
  StagedInstall install;
  RunningUninstaller run(install.Exe());
  ASSERT_TRUE(run.Started());
  HWND box = run.WaitForWindow("#32770", kWindowWait);
  ASSERT_NE(box, nullptr) << "no message box appeared";
  EXPECT_EQ(WindowText(box), " Quillmarn - Error");
  EXPECT_EQ(ControlText(box, kBoxTextId), "Could not find 'uninstall.dat':\n" + install.Dir() + "uninstall.dat");
  EXPECT_EQ(ControlText(box, kBoxOkId), "OK");
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "the box has one button only";
  EXPECT_GT(RedShareOfIcon(box), 0.2) << "the box shows the error icon";
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);

  DWORD code = 99;
  EXPECT_FALSE(run.WaitForExit(300, &code)) << "the program must wait for the user";
  ClickControl(box, kBoxOkId);
  ASSERT_TRUE(run.WaitForExit(kExitWait, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, GarbageSettingsFileStillOpensTheWindow) {
  StagedInstall install;
  std::string garbage;
  for (int i = 0; i < 70000; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  install.Write("uninstall.dat", garbage);
  RunningUninstaller run(install.Exe());
  ASSERT_TRUE(run.Started());
  HWND main = WaitForMainWindow(run, kWindowWait);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), " ");
  ClickControl(main, 6);  // Cancel
  DWORD code = 99;
  ASSERT_TRUE(run.WaitForExit(kExitWait, &code));
  EXPECT_EQ(code, 0u);
}
