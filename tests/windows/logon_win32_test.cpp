#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "fake_privileges_win32.h"
#include "privileges/administrator_win32.h"
#include "privileges/logon_layout.h"
#include "ui/confirmation_layout.h"
#include "ui/confirmation_window_win32.h"

namespace {

// Steps that a timer plays while the logon window's loop runs: each step is
// tried until it reports that it is done.
std::vector<std::function<bool()>>* steps = nullptr;
size_t next_step = 0;

void CALLBACK PlayStep(HWND, UINT, UINT_PTR, DWORD) {
  if (steps != nullptr && next_step < steps->size() && (*steps)[next_step]()) ++next_step;
}

KernelHandle RunWithSteps(const UiTexts& texts, std::vector<std::function<bool()>> script) {
  steps = &script;
  next_step = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, PlayStep);
  KernelHandle token = RunLogonDialog(texts);
  KillTimer(nullptr, timer);
  steps = nullptr;
  return token;
}

HWND Logon() { return FindWindowA("QuillmarnLogon", nullptr); }

BOOL CALLBACK FindBox(HWND window, LPARAM result) {
  char cls[16] = {};
  GetClassNameA(window, cls, sizeof(cls));
  if (std::string(cls) != "#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

HWND OpenBox() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

void Enter(const std::string& user, const std::string& password) {
  SetDlgItemTextA(Logon(), kUserFieldId, user.c_str());
  SetDlgItemTextA(Logon(), kPasswordFieldId, password.c_str());
  PostMessageA(GetDlgItem(Logon(), kLogonButtonId), BM_CLICK, 0, 0);
}

// A step: once the logon window is there, the user and password go in.
std::function<bool()> Entering(const std::string& user, const std::string& password) {
  return [user, password] {
    if (Logon() == nullptr) return false;
    Enter(user, password);
    return true;
  };
}

std::string BoxText(HWND box) {
  char text[256] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
  return text;
}

class LogonTest : public ::testing::Test {
 protected:
  void SetUp() override { Privileges() = FakePrivileges(); }
  UiTexts texts;
};

}  // namespace

TEST_F(LogonTest, TheTestAsksForTheServiceManagerAndClosesIt) {
  EXPECT_FALSE(IsAdministrator());
  EXPECT_EQ(Privileges().asked_access, 0x000F000Fu);
  EXPECT_EQ(Privileges().managers_closed, 0);
  Privileges().administrator = true;
  EXPECT_TRUE(IsAdministrator());
  EXPECT_EQ(Privileges().managers_closed, 1);
}

TEST_F(LogonTest, AFailedLogonShowsTheBoxEmptiesTheFieldsAndTheNextOneSucceeds) {
  ConfirmationWindow confirmation(texts);
  ASSERT_TRUE(confirmation.Open());
  std::string caption, message, fields_after;
  bool logon_enabled = true, confirmation_enabled = true;
  KernelHandle token = RunWithSteps(texts, {
                                               Entering("admin", "wrong"),
                                               [&] {
                                                 HWND box = OpenBox();
                                                 if (box == nullptr) return false;
                                                 caption = Text(box);
                                                 message = BoxText(box);
                                                 logon_enabled = IsWindowEnabled(Logon()) != FALSE;
                                                 confirmation_enabled = IsWindowEnabled(confirmation.Handle()) != FALSE;
                                                 PostMessageA(box, WM_COMMAND, IDOK, 0);
                                                 return true;
                                               },
                                               [&] {
                                                 if (OpenBox() != nullptr) return false;
                                                 fields_after = Text(GetDlgItem(Logon(), kUserFieldId)) + "|" +
                                                                Text(GetDlgItem(Logon(), kPasswordFieldId));
                                                 Enter("admin", "secret");
                                                 return true;
                                               },
                                           });
  EXPECT_EQ(caption, "Error - Login");
  EXPECT_EQ(message, "Login failed.");
  EXPECT_FALSE(logon_enabled);
  EXPECT_FALSE(confirmation_enabled);
  EXPECT_EQ(fields_after, "|");
  EXPECT_EQ(Privileges().attempts, (std::vector<std::string>{"admin|wrong", "admin|secret"}));
  ASSERT_TRUE(token.Valid());
  EXPECT_EQ(token.Get(), Privileges().last_token);
  EXPECT_EQ(Logon(), nullptr) << "the window is gone after a logon";
  EXPECT_TRUE(IsWindowEnabled(confirmation.Handle()));

  HANDLE raw = token.Get();
  EndImpersonation(token);
  EXPECT_FALSE(token.Valid());
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(raw, &flags)) << "the token is closed";
  EndImpersonation(token);  // nothing to end a second time
}

TEST_F(LogonTest, AnAccountThatIsNoAdministratorIsSaidToBeOneAndTheRunGoesOnWithItsOwnRights) {
  Privileges().account_is_administrator = false;
  std::string message;
  KernelHandle token = RunWithSteps(texts, {Entering("admin", "secret"), [&] {
                                              HWND box = OpenBox();
                                              if (box == nullptr) return false;
                                              message = BoxText(box);
                                              PostMessageA(box, WM_COMMAND, IDOK, 0);
                                              return true;
                                            }});
  EXPECT_EQ(message, texts[UiText::kRqNoAdmin]);
  EXPECT_FALSE(token.Valid()) << "no impersonation is kept";
  EXPECT_EQ(Logon(), nullptr) << "no second try: the run goes on";
  EXPECT_EQ(Privileges().attempts.size(), 1u);
}

TEST_F(LogonTest, LongAndEmptyEntriesAreTakenAsTypedAndTheCloseBoxGivesUp) {
  const std::string long_user = std::string(700, 'u') + "\\" + std::string(300, 'v');
  const std::string long_password(2000, 'p');
  auto accept_box = [] {
    HWND box = OpenBox();
    if (box == nullptr) return false;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  };
  KernelHandle token = RunWithSteps(texts, {
                                               Entering(long_user, long_password),
                                               accept_box,
                                               [] {
                                                 if (OpenBox() != nullptr) return false;
                                                 Enter("", "");
                                                 return true;
                                               },
                                               accept_box,
                                               [] {
                                                 if (OpenBox() != nullptr) return false;
                                                 PostMessageA(Logon(), WM_SYSCOMMAND, SC_CLOSE, 0);
                                                 return true;
                                               },
                                           });
  EXPECT_FALSE(token.Valid());
  EXPECT_EQ(Privileges().attempts, (std::vector<std::string>{long_user + "|" + long_password, "|"}));
  EXPECT_EQ(Logon(), nullptr);
}

TEST_F(LogonTest, LayoutTabOrderAndTheConfirmationWindowStaysInert) {
  texts[UiText::kLogon] = "Anmelden";
  texts[UiText::kUser] = "Name:";
  ConfirmationWindow confirmation(texts);
  ASSERT_TRUE(confirmation.Open());
  std::vector<std::string> problems;
  auto expect = [&problems](bool ok, const std::string& what) {
    if (!ok) problems.push_back(what);
  };
  RunWithSteps(
      texts, {
                 [&] {
                   HWND logon = Logon();
                   if (logon == nullptr) return false;
                   expect(Text(logon) == " Anmelden", "title " + Text(logon));
                   RECT client;
                   GetClientRect(logon, &client);
                   expect(client.right == 260 && client.bottom == 135, "client size");
                   expect((GetWindowLongA(logon, GWL_STYLE) & WS_SYSMENU) != 0, "close box");
                   const struct {
                     int id, x, y, w, h;
                     const char* text;
                   } expected[] = {{11, 20, 27, 90, 15, "Name:"},
                                   {12, 115, 25, 120, 20, ""},
                                   {13, 20, 62, 90, 15, "Password:"},
                                   {14, 115, 60, 120, 20, ""},
                                   {15, 90, 104, 80, 22, "Login"}};
                   for (const auto& e : expected) {
                     HWND control = GetDlgItem(logon, e.id);
                     RECT r;
                     GetWindowRect(control, &r);
                     MapWindowPoints(nullptr, logon, reinterpret_cast<POINT*>(&r), 2);
                     expect(r.left == e.x && r.top == e.y && r.right - r.left == e.w && r.bottom - r.top == e.h,
                            "place of " + std::to_string(e.id));
                     expect(Text(control) == e.text, "text of " + std::to_string(e.id));
                   }
                   expect((GetWindowLongA(GetDlgItem(logon, 14), GWL_STYLE) & ES_PASSWORD) != 0, "password masked");
                   HWND frame = GetDlgItem(logon, 16);
                   expect(frame != nullptr && (GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0 &&
                              (GetWindowLongA(frame, GWL_STYLE) & SS_TYPEMASK) != SS_ETCHEDFRAME,
                          "frame with a thin sunken edge");
                   HWND user = GetDlgItem(logon, 12), password = GetDlgItem(logon, 14), button = GetDlgItem(logon, 15);
                   expect(GetNextDlgTabItem(logon, user, FALSE) == password, "tab to password");
                   expect(GetNextDlgTabItem(logon, password, FALSE) == button, "tab to button");
                   expect(GetNextDlgTabItem(logon, button, FALSE) == user, "tab wraps");
                   LOGFONTA face{};
                   GetObjectA(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)), sizeof(face), &face);
                   HDC screen = GetDC(nullptr);
                   const int pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
                   ReleaseDC(nullptr, screen);
                   expect(std::string(face.lfFaceName) == "System" && face.lfWeight == 700 &&
                              face.lfHeight == FontHeight(10, pixels_per_inch),
                          "button font");
                   // The confirmation window's buttons do nothing meanwhile.
                   PostMessageA(confirmation.Control(kCancelButtonId), BM_CLICK, 0, 0);
                   PostMessageA(confirmation.Control(kOkButtonId), BM_CLICK, 0, 0);
                   return true;
                 },
                 [] {
                   PostMessageA(Logon(), WM_SYSCOMMAND, SC_CLOSE, 0);
                   return true;
                 },
             });
  EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
  MSG left;
  EXPECT_FALSE(PeekMessageA(&left, confirmation.Handle(), WM_APP + 1, WM_APP + 1, PM_REMOVE))
      << "no button activation is left for the confirmation window's loop";
  EXPECT_TRUE(IsWindowVisible(confirmation.Control(kOkButtonId)));
}
