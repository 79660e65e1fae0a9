// The yardstick for start-up: a program that only creates and shows one window.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = instance;
  cls.lpszClassName = "Minimal";
  RegisterClassA(&cls);
  HWND window = CreateWindowA("Minimal", " Minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 100, 406, 229,
                              nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_CLOSE || (message.hwnd == window && message.message == WM_NCDESTROY)) break;
    DispatchMessageA(&message);
    if (!IsWindow(window)) break;
  }
  return 0;
}
