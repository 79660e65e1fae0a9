#include "ui/window_builder_win32.h"

namespace {

constexpr char kPanelClass[] = "QuillmarnPanel";

// The white title band: its texts share its white background.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  return DefWindowProcA(panel, message, wparam, lparam);
}

// Registers a window class of this program once (true when it already is).
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

struct ControlClass {
  const char* name;
  DWORD style;
  DWORD extended;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Panel:
      return {kPanelClass, 0, 0};
    case ControlKind::Text:
      return {"STATIC", SS_LEFT, 0};
    case ControlKind::RightText:
      return {"STATIC", SS_RIGHT, 0};
    case ControlKind::Icon:
      return {"STATIC", SS_ICON | SS_CENTERIMAGE, 0};
    case ControlKind::CheckBox:
      return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::Separator:
      return {"STATIC", SS_ETCHEDHORZ, 0};
    case ControlKind::Button:
      return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::Field:
      return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::PasswordField:
      return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE};
    case ControlKind::Frame:
      // An empty rectangle with a thin sunken edge; it lies below the fields
      // in the window's order and leaves their areas to them.
      return {"STATIC", WS_CLIPSIBLINGS, WS_EX_STATICEDGE};
  }
  return {"STATIC", 0, 0};
}

// The display's vertical pixels per inch, as the window's device context gives them.
int PixelsPerInch(HWND window) {
  HDC screen = GetDC(window);
  const int pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(window, screen);
  return pixels_per_inch;
}

}  // namespace

HFONT BuiltWindow::FontFor(ControlFont font, int pixels_per_inch) {
  if (font == ControlFont::None) return nullptr;
  if (font == ControlFont::DefaultGui) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GdiObject& owned = fonts_[static_cast<int>(font)];
  if (!owned.Valid()) {
    const FontSpec face = FontSpecOf(font);
    owned.Reset(CreateFontA(FontHeight(face.points, pixels_per_inch), 0, 0, 0, face.weight, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, face.face));
  }
  return static_cast<HFONT>(owned.Get());
}

bool BuiltWindow::Build(const WindowSpec& spec, WNDPROC procedure, const std::string& title, ControlTextOf text_of,
                        const UiTexts& texts) {
  Destroy();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const bool registered =
      RegisterWindowClass(spec.window_class, procedure, true, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) &&
      RegisterWindowClass(kPanelClass, PanelProc, false, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (!registered) return false;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | (spec.closable ? WS_SYSMENU : 0);
  RECT outer{0, 0, spec.client_width, spec.client_height};
  AdjustWindowRect(&outer, style, FALSE);
  const Placement at = CentredPlacement(outer.right - outer.left, outer.bottom - outer.top,
                                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  window_.Reset(CreateWindowExA(0, spec.window_class, title.c_str(), style, at.left, at.top, at.width, at.height,
                                nullptr, nullptr, instance, nullptr));
  if (!window_.Valid()) return false;
  spec_ = &spec;
  const int pixels_per_inch = PixelsPerInch(window_.Get());

  for (size_t i = 0; i < spec.control_count; ++i) {
    const ControlSpec& layout = spec.controls[i];
    const ControlClass cls = ClassOf(layout.kind);
    HWND parent = layout.in_title_band ? band_ : window_.Get();
    if (parent == nullptr) continue;
    HWND control = CreateWindowExA(cls.extended, cls.name, text_of(layout.id, texts).c_str(),
                                   WS_CHILD | WS_VISIBLE | cls.style, layout.x, layout.y, layout.width, layout.height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
    if (control == nullptr) continue;
    if (layout.kind == ControlKind::Panel && band_ == nullptr) band_ = control;
    if (HFONT font = FontFor(layout.font, pixels_per_inch)) {
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (layout.kind == ControlKind::Icon) {
      HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 32, 32, LR_SHARED);
      SendMessageA(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
      SetWindowPos(control, nullptr, layout.x, layout.y, layout.width, layout.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return true;
}

HWND BuiltWindow::Control(int id) const {
  if (!window_.Valid()) return nullptr;
  for (size_t i = 0; i < spec_->control_count; ++i) {
    const ControlSpec& layout = spec_->controls[i];
    if (layout.id == id && id != 0) return GetDlgItem(layout.in_title_band ? band_ : window_.Get(), id);
  }
  return nullptr;
}

void BuiltWindow::Destroy() {
  window_.Reset();
  band_ = nullptr;
  spec_ = nullptr;
  for (GdiObject& font : fonts_) font.Reset();
}
