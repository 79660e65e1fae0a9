#include "ui/window_builder_win32.h"

#include <cstring>
#include <utility>

namespace {

constexpr char kPanelClass[] = "QuillmarnPanel";

// The title band in the theme's window colours, white and black in the usual
// one: its texts share its background.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    SetTextColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
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
    // An empty rectangle with a thin sunken edge; it lies below the fields
    // in the window's order and leaves their areas to them.
    case ControlKind::Frame:
      return {"STATIC", WS_CLIPSIBLINGS, WS_EX_STATICEDGE};
    case ControlKind::Progress:
      return {"msctls_progress32", 0, 0};
    // Lines to read, select and copy, never to change.
    case ControlKind::Report:
      return {"EDIT", WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL,
              WS_EX_CLIENTEDGE};
  }
  return {"STATIC", 0, 0};
}

// The resolution the system lays out by: the primary display's.
int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

HFONT BuiltWindow::FontFor(ControlFont font) {
  if (font == ControlFont::None) return nullptr;
  HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
  const int system_dpi = SystemDpi();
  // The stock font is made for the system's resolution: on another display
  // a font of its face is made at that display's.
  if (font == ControlFont::DefaultGui && dpi_ == system_dpi) return static_cast<HFONT>(stock);
  GdiObject& owned = fonts_[static_cast<int>(font)];
  if (!owned.Valid()) {
    LOGFONTW face{};
    if (font == ControlFont::DefaultGui) {
      GetObjectW(stock, sizeof(face), &face);
      face.lfHeight = face.lfHeight * dpi_ / system_dpi;
    } else {
      const FontLook look = FontLookOf(font);
      face.lfHeight = FontHeight(look.points, dpi_);
      face.lfWeight = look.weight;
      face.lfCharSet = DEFAULT_CHARSET;
      // Short ASCII names of the program's own.
      for (size_t i = 0; look.face[i] != '\0' && i + 1 < LF_FACESIZE; ++i) face.lfFaceName[i] = look.face[i];
    }
    owned.Reset(CreateFontIndirectW(&face));
  }
  return static_cast<HFONT>(owned.Get());
}

bool BuiltWindow::Build(const WindowTable& table, WNDPROC procedure, const std::string& title, ControlTextOf text_of,
                        const UiTexts& texts, HWND owner) {
  Destroy();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const bool registered =
      RegisterWindowClass(table.window_class, procedure, true, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) &&
      RegisterWindowClass(kPanelClass, PanelProc, false, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  if (!registered) return false;

  dpi_ = SystemDpi();
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | (table.closable ? WS_SYSMENU : 0);
  RECT outer{0, 0, Scaled(table.client_width, dpi_), Scaled(table.client_height, dpi_)};
  AdjustWindowRect(&outer, style, FALSE);
  const Placement at = CentredPlacement(outer.right - outer.left, outer.bottom - outer.top,
                                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  // Right to left: the window mirrored, and with it every control in it
  // (places, the progress bar's direction, the list), each read from the right.
  const DWORD mirrored = texts.right_to_left ? WS_EX_LAYOUTRTL : 0;
  const DWORD reading = texts.right_to_left ? WS_EX_RTLREADING : 0;
  window_.Reset(CreateWindowExA(mirrored | reading, table.window_class, title.c_str(), style, at.left, at.top, at.width,
                                at.height, owner, nullptr, instance, nullptr));
  if (!window_.Valid()) return false;
  table_ = &table;
  SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  for (size_t i = 0; i < table.control_count && i < kMostControls; ++i) {
    const ControlRow& layout = table.controls[i];
    const ControlClass cls = ClassOf(layout.kind);
    HWND parent = layout.in_title_band ? band_ : window_.Get();
    if (parent == nullptr) continue;
    const std::string text = text_of(layout.id, texts);
    fonts_of_[i] = FontForText(layout.font, text);
    controls_[i] = CreateWindowExA(cls.extended | reading, cls.name, text.c_str(), WS_CHILD | WS_VISIBLE | cls.style,
                                   Scaled(layout.x, dpi_), Scaled(layout.y, dpi_), Scaled(layout.width, dpi_),
                                   Scaled(layout.height, dpi_), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
    if (layout.kind == ControlKind::Panel && band_ == nullptr) band_ = controls_[i];
  }
  LayOutControls(false);
  return true;
}

void BuiltWindow::LayOutControls(bool move) {
  // The fonts of the old resolution go once the controls have the new ones.
  GdiObject replaced[kFontCount];
  for (int i = 0; i < kFontCount; ++i) replaced[i] = std::move(fonts_[i]);
  for (size_t i = 0; i < table_->control_count && i < kMostControls; ++i) {
    const ControlRow& layout = table_->controls[i];
    HWND control = controls_[i];
    if (control == nullptr) continue;
    if (HFONT font = FontFor(fonts_of_[i])) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (layout.kind == ControlKind::Icon) {
      // The image that fits the resolution, from the icon's several sizes.
      const int size = Scaled(32, dpi_);
      icon_.Reset(static_cast<HICON>(
          LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, size, size, 0)));
      SendMessageA(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_.Get()));
    } else if (!move) {
      continue;  // created in place; an icon control resizes itself to its image and is put back
    }
    SetWindowPos(control, nullptr, Scaled(layout.x, dpi_), Scaled(layout.y, dpi_), Scaled(layout.width, dpi_),
                 Scaled(layout.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void BuiltWindow::OnDpiChanged(HWND window, WPARAM wparam, LPARAM lparam) {
  auto* built = reinterpret_cast<BuiltWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (built == nullptr || built->window_.Get() != window) return;
  built->dpi_ = HIWORD(wparam);
  built->LayOutControls(true);
}

void BuiltWindow::Focus(HWND control) {
  focus_ = control;
  if (GetActiveWindow() == window_.Get()) SetFocus(control);
}

bool BuiltWindow::OnFocusMessage(HWND window, UINT message, WPARAM wparam) {
  auto* built = reinterpret_cast<BuiltWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (built == nullptr || built->window_.Get() != window) return false;
  if (message == WM_NEXTDLGCTL) {
    if (HWND next = GetNextDlgTabItem(window, GetFocus(), wparam != 0)) SetFocus(next);
    return true;
  }
  HWND& focus = built->focus_;
  if (LOWORD(wparam) == WA_INACTIVE) {
    for (HWND control : built->controls_) focus = control != nullptr && control == GetFocus() ? control : focus;
    return false;
  }
  if (focus == nullptr || !IsWindowVisible(focus) || !IsWindowEnabled(focus)) return false;
  SetFocus(focus);
  return true;
}

HWND BuiltWindow::Control(int id) const {
  if (!window_.Valid()) return nullptr;
  for (size_t i = 0; i < table_->control_count && i < kMostControls; ++i) {
    if (table_->controls[i].id == id && id != 0) return controls_[i];
  }
  return nullptr;
}

void BuiltWindow::Abandon() {
  window_.Release();
  Destroy();
}

void BuiltWindow::Destroy() {
  window_.Reset();
  band_ = nullptr;
  focus_ = nullptr;
  for (HWND& control : controls_) control = nullptr;
  table_ = nullptr;
  icon_.Reset();
  for (GdiObject& font : fonts_) font.Reset();
}
