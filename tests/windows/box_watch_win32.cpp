#include "box_watch_win32.h"

namespace {

BoxSighting* sighting = nullptr;
UINT_PTR timer = 0;

BOOL CALLBACK FindBox(HWND window, LPARAM) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof(cls));
  if (std::string(cls) == "#32770" && IsWindowVisible(window)) {
    sighting->box = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK InspectBox(HWND, UINT, UINT_PTR, DWORD) {
  if (sighting == nullptr || sighting->box != nullptr) return;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
  if (sighting->box == nullptr) return;
  sighting->owner = GetWindow(sighting->box, GW_OWNER);
  char text[1024] = {};
  GetWindowTextA(sighting->box, text, sizeof(text));
  sighting->caption = text;
  GetDlgItemTextA(sighting->box, 0xFFFF, text, sizeof(text));
  sighting->text = text;
  for (HWND w : sighting->watched) sighting->enabled.push_back(IsWindowEnabled(w) != FALSE);
  PostMessageA(sighting->box, WM_COMMAND, IDOK, 0);
}

}  // namespace

void WatchForBox(BoxSighting& seen) {
  StopWatchingForBoxes();
  sighting = &seen;
  timer = SetTimer(nullptr, 0, 20, InspectBox);
}

void StopWatchingForBoxes() {
  if (timer != 0) KillTimer(nullptr, timer);
  timer = 0;
  sighting = nullptr;
}
