#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "box_watch_win32.h"
#include "ui/message_box.h"

namespace {

HWND MakeWindow(bool visible) {
  HWND w = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0, 200, 100,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return w;
}

int ShowWhileWatching(BoxSighting& seen, const std::string& caption, const std::string& text) {
  WatchForBox(seen);
  const int pressed = ShowMessage(caption, text, kErrorBoxStyle);
  StopWatchingForBoxes();
  return pressed;
}

}  // namespace

TEST(ShowMessage, WithoutWindowsTheBoxHasNoOwner) {
  BoxSighting seen;
  EXPECT_EQ(ShowWhileWatching(seen, " Quillmarn - Error", "line one\nline two"), IDOK);
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_EQ(seen.caption, " Quillmarn - Error");
  EXPECT_EQ(seen.text, "line one\nline two");
}

TEST(ShowMessage, DisablesTheThreadsVisibleWindowsAndEnablesThemAgain) {
  HWND already_off = MakeWindow(true);
  EnableWindow(already_off, FALSE);
  HWND first = MakeWindow(true);
  HWND second = MakeWindow(true);
  HWND hidden = MakeWindow(false);
  // Created first, so it is not the window in front that would own the box.
  ASSERT_NE(GetForegroundWindow(), already_off);
  BoxSighting seen;
  seen.watched = {first, second, hidden};
  ShowWhileWatching(seen, "c", "t");
  ASSERT_EQ(seen.enabled.size(), 3u);
  // Whichever of them is in front owns the box and is disabled by it; the
  // others are disabled by the service.
  EXPECT_FALSE(seen.enabled[0]);
  EXPECT_FALSE(seen.enabled[1]);
  EXPECT_TRUE(seen.enabled[2]) << "a hidden window is left alone";
  EXPECT_TRUE(IsWindowEnabled(first));
  EXPECT_TRUE(IsWindowEnabled(second));
  EXPECT_TRUE(IsWindowEnabled(hidden));
  EXPECT_FALSE(IsWindowEnabled(already_off)) << "a window that was disabled before stays disabled";
  for (HWND w : {first, second, hidden, already_off}) DestroyWindow(w);
}

TEST(ShowMessage, TheOwnForegroundWindowOwnsTheBox) {
  HWND main = MakeWindow(true);
  HWND other = MakeWindow(true);
  SetForegroundWindow(main);
  if (GetForegroundWindow() != main) {
    DestroyWindow(main);
    DestroyWindow(other);
    GTEST_SKIP() << "the display gives no foreground window here";
  }
  BoxSighting seen;
  seen.watched = {main, other};
  ShowWhileWatching(seen, "c", "t");
  EXPECT_EQ(seen.owner, main);
  ASSERT_EQ(seen.enabled.size(), 2u);
  EXPECT_FALSE(seen.enabled[0]) << "the owner is disabled by the box itself";
  EXPECT_FALSE(seen.enabled[1]);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(main);
  DestroyWindow(other);
}
