#include <windows.h>

#include <vector>

#include "ui/message_box.h"

namespace {

struct DisableScan {
  HWND foreground;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM context) {
  auto* scan = reinterpret_cast<DisableScan*>(context);
  if (window != scan->foreground && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    scan->disabled.push_back(window);
  }
  return TRUE;
}

HWND OwnForegroundWindow(HWND foreground) {
  DWORD process = 0;
  if (foreground != nullptr) GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

}  // namespace

int ShowMessage(const std::string& caption, const std::string& text, unsigned style) {
  DisableScan scan{GetForegroundWindow(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&scan));
  const int pressed = MessageBoxA(OwnForegroundWindow(scan.foreground), text.c_str(), caption.c_str(), style);
  for (HWND window : scan.disabled) EnableWindow(window, TRUE);
  return pressed;
}
