#include "privileges/administrator_win32.h"

#include "privileges/logon_layout.h"
#include "ui/confirmation_layout.h"
#include "ui/message_box.h"
#include "ui/window_parts_win32.h"

namespace {

// Connect, create service, enumerate, lock and the standard rights; not all access.
constexpr DWORD kAdministratorAccess = 0x000F000F;
constexpr char kLogonClass[] = "QuillmarnLogon";
constexpr DWORD kLogonStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Posted by the window procedure so that the dialog's loop does the work.
constexpr UINT kLogonClosed = WM_APP + 2;
constexpr UINT kLogonActivated = WM_APP + 3;

LRESULT CALLBACK LogonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      PostMessageA(window, kLogonClosed, 0, 0);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED && LOWORD(wparam) == kLogonButtonId) PostMessageA(window, kLogonActivated, 0, 0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

struct LogonClass {
  const char* name;
  DWORD style;
  DWORD extended;
};

LogonClass ClassOf(LogonControlKind kind) {
  switch (kind) {
    case LogonControlKind::Label:
      return {"STATIC", SS_RIGHT, 0};
    case LogonControlKind::Field:
      return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case LogonControlKind::PasswordField:
      return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE};
    case LogonControlKind::Button:
      return {"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case LogonControlKind::Frame:
      // An empty static with a thin sunken edge; it lies below the fields in
      // the window's order and leaves their areas to them.
      return {"STATIC", WS_CLIPSIBLINGS, WS_EX_STATICEDGE};
  }
  return {"STATIC", 0, 0};
}

class LogonWindow {
 public:
  explicit LogonWindow(const UiTexts& texts) : texts_(texts) {}

  bool Open() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass(kLogonClass, LogonProc, true, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
    window_.Reset(
        CreateCentredWindow(kLogonClass, LogonWindowTitle(texts_), kLogonStyle, kLogonClientWidth, kLogonClientHeight));
    if (!window_.Valid()) return false;
    button_font_.Reset(
        CreateFaceFont(kLogonButtonFace, kLogonButtonPoints, kLogonButtonWeight, PixelsPerInch(window_.Get())));
    for (const LogonControl& control : kLogonControls) Create(control, instance);
    ShowWindow(window_.Get(), SW_SHOWNORMAL);
    UpdateWindow(window_.Get());
    SetFocus(GetDlgItem(window_.Get(), kUserFieldId));
    return true;
  }

  HWND Handle() const { return window_.Get(); }

  // Reads both fields whole, logs on, and wipes the copies.
  KernelHandle TryLogOn() {
    std::string user = FieldText(kUserFieldId);
    std::string password = FieldText(kPasswordFieldId);
    KernelHandle token = LogOnAndImpersonate(user.c_str(), password.c_str());
    SecureZeroMemory(&password[0], password.size());
    SecureZeroMemory(&user[0], user.size());
    return token;
  }

  void ClearFields() {
    SetDlgItemTextA(window_.Get(), kUserFieldId, "");
    SetDlgItemTextA(window_.Get(), kPasswordFieldId, "");
    SetFocus(GetDlgItem(window_.Get(), kUserFieldId));
  }

 private:
  // The text exactly as typed, whatever its length.
  std::string FieldText(int id) const {
    HWND field = GetDlgItem(window_.Get(), id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(field, &text[0], static_cast<int>(text.size()))));
    return text;
  }

  void Create(const LogonControl& control, HINSTANCE instance) {
    const LogonClass cls = ClassOf(control.kind);
    HWND created =
        CreateWindowExA(cls.extended, cls.name, LogonControlText(control.id, texts_).c_str(),
                        WS_CHILD | WS_VISIBLE | cls.style, control.x, control.y, control.width, control.height,
                        window_.Get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (created == nullptr || control.kind == LogonControlKind::Frame) return;
    HGDIOBJ font = control.kind == LogonControlKind::Button && button_font_.Valid() ? button_font_.Get()
                                                                                    : GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }

  const UiTexts& texts_;
  GdiObject button_font_;
  WindowOwner window_;
};

}  // namespace

bool IsAdministrator() {
  SC_HANDLE manager = OpenServiceManager(kAdministratorAccess);
  if (manager == nullptr) return false;
  CloseServiceManager(manager);
  return true;
}

KernelHandle LogOnAndImpersonate(const char* user, const char* password) {
  HANDLE token = nullptr;
  if (!LogOnUser(user, password, &token)) return KernelHandle();
  ImpersonateLoggedOnUser(token);
  return KernelHandle(token);
}

KernelHandle RunLogonDialog(const UiTexts& texts) {
  LogonWindow logon(texts);
  if (!logon.Open()) return KernelHandle();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == logon.Handle() && message.message == kLogonClosed) break;
    if (message.hwnd == logon.Handle() && message.message == kLogonActivated) {
      KernelHandle token = logon.TryLogOn();
      if (token.Valid()) return token;
      ShowMessage(texts.rq_titel, texts.rq_msg, kErrorBoxStyle);
      logon.ClearFields();
      continue;
    }
    // Everything meant for other windows, the confirmation window's buttons
    // among them, is passed on to them, whose handling ignores it meanwhile.
    if (IsDialogMessageA(logon.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return KernelHandle();
}

KernelHandle ObtainAdministratorRights(bool login_admin, const UiTexts& texts) {
  if (!login_admin || IsAdministrator()) return KernelHandle();
  return RunLogonDialog(texts);
}

void EndImpersonation(KernelHandle& token) {
  if (!token.Valid()) return;
  RevertToSelf();
  token.Reset();
}
