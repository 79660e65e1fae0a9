#include "privileges/administrator_win32.h"

#include "platform/text_win32.h"
#include "privileges/logon_layout.h"
#include "ui/message_box.h"
#include "ui/window_builder_win32.h"

namespace {

// Connect, create service, enumerate, lock and the standard rights; not all access.
constexpr DWORD kAdministratorAccess = 0x000F000F;
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
    case WM_DPICHANGED:
      BuiltWindow::OnDpiChanged(window, wparam, lparam);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

class LogonWindow {
 public:
  explicit LogonWindow(const UiTexts& texts) : texts_(texts) {}

  bool Open() {
    if (!window_.Build(kLogonWindow, LogonProc, LogonWindowTitle(texts_), LogonControlText, texts_)) return false;
    ShowWindow(window_.Handle(), SW_SHOWNORMAL);
    UpdateWindow(window_.Handle());
    SetFocus(window_.Control(kUserFieldId));
    return true;
  }

  HWND Handle() const { return window_.Handle(); }

  // Reads both fields whole, logs on, and wipes the copies.
  KernelHandle TryLogOn(bool& administrator) {
    std::string user = FieldText(kUserFieldId);
    std::string password = FieldText(kPasswordFieldId);
    KernelHandle token = LogOnAndImpersonate(user.c_str(), password.c_str(), administrator);
    SecureZeroMemory(&password[0], password.size());
    SecureZeroMemory(&user[0], user.size());
    return token;
  }

  void ClearFields() {
    SetWindowTextA(window_.Control(kUserFieldId), "");
    SetWindowTextA(window_.Control(kPasswordFieldId), "");
    SetFocus(window_.Control(kUserFieldId));
  }

 private:
  // The text exactly as typed, whatever its length.
  std::string FieldText(int id) const {
    HWND field = window_.Control(id);
    std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(field, &wide[0], static_cast<int>(wide.size()))));
    std::string text;
    NarrowText(wide, text);
    return text;
  }

  const UiTexts& texts_;
  BuiltWindow window_;
};

}  // namespace

bool IsAdministrator() { return ServiceManager(OpenServiceManager(kAdministratorAccess)).Valid(); }

KernelHandle LogOnAndImpersonate(const char* user, const char* password, bool& administrator) {
  HANDLE token = nullptr;
  administrator = true;
  if (!LogOnUser(user, password, &token)) return KernelHandle();
  KernelHandle logged_on(token);
  if (!ImpersonateUser(token)) return KernelHandle();
  // Any account's own password logs it on: only an administrator's counts.
  administrator = IsAdministrator();
  if (!administrator) {
    RevertToSelf();
    return KernelHandle();
  }
  return logged_on;
}

KernelHandle RunLogonDialog(const UiTexts& texts) {
  LogonWindow logon(texts);
  if (!logon.Open()) return KernelHandle();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == logon.Handle() && message.message == kLogonClosed) break;
    if (message.hwnd == logon.Handle() && message.message == kLogonActivated) {
      bool administrator = true;
      KernelHandle token = logon.TryLogOn(administrator);
      if (token.Valid()) return token;
      // Not an administrator: said so, and the run goes on with its own rights.
      ShowMessage(texts[UiText::kRqTitel], texts[administrator ? UiText::kRqMsg : UiText::kRqNoAdmin],
                  BoxStyle(texts, kErrorBoxStyle));
      if (!administrator) break;
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

void EndImpersonation(KernelHandle& token) {
  if (!token.Valid()) return;
  RevertToSelf();
  token.Reset();
}
