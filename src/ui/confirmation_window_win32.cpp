#include "ui/confirmation_window_win32.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include "ui/window_parts_win32.h"

namespace {

constexpr char kWindowClass[] = "QuillmarnUninstall";
constexpr char kPanelClass[] = "QuillmarnPanel";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION;  // no system menu, no sizing border
// Posted by the window procedure, so that a button's work runs in the event
// loop and never inside a window procedure.
constexpr UINT kControlActivated = WM_APP + 1;
constexpr DWORD kStatusPaintIntervalMs = 50;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED && lparam != 0) PostMessageA(window, kControlActivated, LOWORD(wparam), lparam);
      return 0;
    case WM_CLOSE:
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// The white title band: its texts share its white background.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  return DefWindowProcA(panel, message, wparam, lparam);
}

bool RegisterClasses() {
  const bool have_window =
      RegisterWindowClass(kWindowClass, WindowProc, true, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  const bool have_panel =
      RegisterWindowClass(kPanelClass, PanelProc, false, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  return have_window && have_panel;
}

struct ControlClass {
  const char* name;
  DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Panel:
      return {kPanelClass, 0};
    case ControlKind::Text:
      return {"STATIC", SS_LEFT};
    case ControlKind::Icon:
      return {"STATIC", SS_ICON | SS_CENTERIMAGE};
    case ControlKind::CheckBox:
      return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::Separator:
      return {"STATIC", SS_ETCHEDHORZ};
    case ControlKind::Button:
      return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
  }
  return {"STATIC", 0};
}

}  // namespace

void StatusLine::Attach(HWND bar) {
  if (bar_ != nullptr && IsWindow(bar_)) RemoveWindowSubclass(bar_, BarProc, 0);
  bar_ = bar;
  latest_.clear();
  text_pending_ = paint_pending_ = false;
  if (bar_ != nullptr) SetWindowSubclass(bar_, BarProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK StatusLine::BarProc(HWND bar, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
  switch (message) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case SB_GETTEXTA:
    case SB_GETTEXTW:
    case SB_GETTEXTLENGTHA:
    case SB_GETTEXTLENGTHW:
      reinterpret_cast<StatusLine*>(self)->Apply();
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(bar, BarProc, 0);
      reinterpret_cast<StatusLine*>(self)->bar_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(bar, message, wparam, lparam);
}

void StatusLine::Apply() {
  if (!text_pending_) return;
  text_pending_ = false;
  // The bar would paint the text straight away: its drawing is held while the
  // text changes, and the area is left to paint at the next flush.
  SendMessageA(bar_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(bar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(latest_.c_str()));
  SendMessageA(bar_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(bar_, nullptr, FALSE);
  paint_pending_ = true;
}

void StatusLine::Show(const std::string& text) {
  if (bar_ == nullptr) return;
  latest_ = text;
  text_pending_ = true;
  if (GetTickCount() - last_paint_ >= kStatusPaintIntervalMs) Flush();
}

void StatusLine::Flush() {
  if (bar_ == nullptr) return;
  Apply();
  if (!paint_pending_) return;
  UpdateWindow(bar_);
  last_paint_ = GetTickCount();
  paint_pending_ = false;
}

HFONT ConfirmationWindow::FontFor(ControlFont font, int pixels_per_inch) {
  if (font == ControlFont::None) return nullptr;
  if (font == ControlFont::DefaultGui) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GdiObject& owned = fonts_[static_cast<int>(font)];
  if (!owned.Valid()) {
    const FontSpec face = FontSpecOf(font);
    owned.Reset(CreateFaceFont("Arial", face.points, face.weight, pixels_per_inch));
  }
  return static_cast<HFONT>(owned.Get());
}

HWND ConfirmationWindow::CreateControl(const ControlSpec& layout, HWND band, int pixels_per_inch) {
  const ControlClass cls = ClassOf(layout.kind);
  HWND parent = layout.in_title_band ? band : window_.Get();
  if (parent == nullptr) return nullptr;
  HWND control =
      CreateWindowExA(0, cls.name, ControlText(layout.id, texts_).c_str(), WS_CHILD | WS_VISIBLE | cls.style, layout.x,
                      layout.y, layout.width, layout.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), GetModuleHandleA(nullptr), nullptr);
  if (control == nullptr) return nullptr;
  if (HFONT font = FontFor(layout.font, pixels_per_inch))
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (layout.kind == ControlKind::Icon) {
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 32, 32, LR_SHARED);
    SendMessageA(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    SetWindowPos(control, nullptr, layout.x, layout.y, layout.width, layout.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return control;
}

bool ConfirmationWindow::Open() {
  Close();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterClasses()) return false;

  window_.Reset(CreateCentredWindow(kWindowClass, WindowTitle(texts_), kWindowStyle, kClientWidth, kClientHeight));
  if (!window_.Valid()) return false;
  const int pixels_per_inch = PixelsPerInch(window_.Get());

  for (const ControlSpec& layout : kControls) {
    HWND control = CreateControl(layout, band_, pixels_per_inch);
    if (layout.id == kTitleBandId) band_ = control;
  }
  status_.Attach(CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_.Get(), nullptr,
                                 instance, nullptr));
  int field_right[] = {kStatusFieldRight};
  SendMessageA(status_.Handle(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(field_right));

  ShowWindow(Control(kReadyButtonId), SW_HIDE);
  ShowWindow(window_.Get(), SW_SHOWNORMAL);
  UpdateWindow(window_.Get());
  return true;
}

HWND ConfirmationWindow::Control(int id) const {
  if (!window_.Valid()) return nullptr;
  for (const ControlSpec& layout : kControls) {
    if (layout.id == id && id != kSeparatorId) return GetDlgItem(layout.in_title_band ? band_ : window_.Get(), id);
  }
  return nullptr;
}

void ConfirmationWindow::HideDeleteAllOption() {
  HWND option = Control(kDeleteAllId);
  SendMessageA(option, BM_SETCHECK, BST_UNCHECKED, 0);
  ShowWindow(option, SW_HIDE);
}

bool ConfirmationWindow::IsDeleteAllChecked() const {
  return SendMessageA(Control(kDeleteAllId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ConfirmationWindow::EnterRemovingState() {
  ShowWindow(Control(kOkButtonId), SW_HIDE);
  ShowWindow(Control(kCancelButtonId), SW_HIDE);
  ShowWindow(Control(kReadyButtonId), SW_SHOW);
  EnableWindow(Control(kDeleteAllId), FALSE);
  UpdateWindow(window_.Get());
}

void ConfirmationWindow::RunEventLoop(ControlHandler on_control, void* context) {
  MSG message;
  bool end = false;
  while (!end && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == kControlActivated && message.hwnd == window_.Get()) {
      // Only a control the user can see and use counts: a click queued while
      // the removal ran must not reach a button that is gone by now.
      HWND control = reinterpret_cast<HWND>(message.lParam);
      if (IsWindowVisible(control) && IsWindowEnabled(control))
        end = on_control(context, static_cast<int>(message.wParam));
      continue;
    }
    if (window_.Valid() && IsDialogMessageA(window_.Get(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ConfirmationWindow::Close() {
  window_.Reset();
  band_ = nullptr;
  status_.Attach(nullptr);
  for (GdiObject& font : fonts_) font.Reset();
}
