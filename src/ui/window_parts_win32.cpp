#include "ui/window_parts_win32.h"

#include "ui/confirmation_layout.h"

bool RegisterWindowClass(const char* name, WNDPROC procedure, bool with_icon, HBRUSH background) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof(cls);
  if (GetClassInfoExA(instance, name, &cls)) return true;
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.hIcon = with_icon ? LoadIconA(instance, MAKEINTRESOURCEA(kIconResource)) : nullptr;
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = background;
  cls.lpszClassName = name;
  return RegisterClassExA(&cls) != 0;
}

HWND CreateCentredWindow(const char* window_class, const std::string& title, DWORD style, int client_width,
                         int client_height) {
  RECT outer{0, 0, client_width, client_height};
  AdjustWindowRect(&outer, style, FALSE);
  const Placement at = CentredPlacement(outer.right - outer.left, outer.bottom - outer.top,
                                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return CreateWindowExA(0, window_class, title.c_str(), style, at.left, at.top, at.width, at.height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

int PixelsPerInch(HWND window) {
  HDC screen = GetDC(window);
  const int pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(window, screen);
  return pixels_per_inch;
}

HFONT CreateFaceFont(const char* face, int points, int weight, int pixels_per_inch) {
  return CreateFontA(FontHeight(points, pixels_per_inch), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}
