#include "ui/confirmation_window_win32.h"

#include "external/program_runner_win32.h"
#include "platform/messages_win32.h"
#include "platform/paths_win32.h"

// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

namespace {

// Posted by the window procedure, so that a button's work runs in the event
// loop and never inside a window procedure.
constexpr UINT kControlActivated = WM_APP + 1;
// A removal shorter than this ends before its button change would be seen.
constexpr DWORD kRemovingRepaintMs = 200;
// How often the window handles its messages while the removal works, and
// how often it shows the latest text and progress then: each painting costs
// as much as a few hundred files under Wine, answering next to nothing.
constexpr DWORD kAnswerIntervalMs = 100;
constexpr DWORD kShowIntervalMs = 250;
constexpr int kProgressRange = 100;  // the bar's own, unchanged: hundredths

// The status bar's one field, across the window at its resolution.
void SetStatusField(HWND bar, int dpi) {
  int field_right[] = {Scaled(kStatusFieldRight, dpi)};
  SendMessageA(bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(field_right));
  SendMessageA(bar, WM_SIZE, 0, 0);
}

// Both windows' procedure. A click goes to the event loop of the window
// that owns them all, and the window of what stayed closes as its Close
// does, by a close request or by Escape.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND owner = GetWindow(window, GW_OWNER);
  switch (message) {
    case WM_COMMAND:
      if (lparam != 0) {
        if (HIWORD(wparam) == BN_CLICKED) {
          PostMessageA(owner != nullptr ? owner : window, kControlActivated, LOWORD(wparam), lparam);
        }
        return 0;
      }
      if (LOWORD(wparam) != IDCANCEL) return 0;
      [[fallthrough]];
    case WM_CLOSE:
      if (owner != nullptr) PostMessageA(owner, kControlActivated, kCloseDetailsId, 0);
      return 0;
    case WM_ACTIVATE:
    case WM_NEXTDLGCTL:
      if (BuiltWindow::OnFocusMessage(window, message, wparam)) return 0;
      break;
    case WM_SYSCOLORCHANGE:
      // The common controls take the new colours from it; every control
      // repaints in them.
      for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
      }
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    case WM_DPICHANGED:
      BuiltWindow::OnDpiChanged(window, wparam, lparam);
      SetStatusField(FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr), HIWORD(wparam));
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE && owner == nullptr) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
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
  // Read from the right in a mirrored window.
  const WPARAM reading = (GetWindowLongA(bar_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0 ? SBT_RTLREADING : 0;
  SendMessageA(bar_, SB_SETTEXTA, reading, reinterpret_cast<LPARAM>(latest_.c_str()));
  SendMessageA(bar_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(bar_, nullptr, FALSE);
  paint_pending_ = true;
}

void StatusLine::Show(const std::string& text) {
  if (bar_ == nullptr) return;
  latest_ = text;
  text_pending_ = true;
}

void StatusLine::Flush() {
  if (bar_ == nullptr) return;
  Apply();
  if (!paint_pending_) return;
  UpdateWindow(bar_);
  paint_pending_ = false;
}

bool ConfirmationWindow::Open() {
  Close();
  if (!window_.Build(kConfirmationWindow, WindowProc, WindowTitle(texts_), ControlText, texts_)) return false;
  status_.Attach(CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_.Handle(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr));
  SetStatusField(status_.Handle(), window_.Dpi());

  ShowWindow(Control(kReadyButtonId), SW_HIDE);
  ShowWindow(Control(kProgressId), SW_HIDE);
  ShowWindow(Control(kDetailsButtonId), SW_HIDE);
  ShowWindow(window_.Handle(), SW_SHOWNORMAL);
  UpdateWindow(window_.Handle());
  return true;
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
  // Ready shows what comes, and acts once the steps have ended.
  EnableWindow(Control(kReadyButtonId), FALSE);
  ShowWindow(Control(kReadyButtonId), SW_SHOW);
  ShowWindow(Control(kProgressId), SW_SHOW);
  EnableWindow(Control(kDeleteAllId), FALSE);
  repaint_held_ = true;
  removing_ = true;
  removing_since_ = GetTickCount();
}

bool ConfirmationWindow::RepaintDue() const {
  return repaint_held_ && GetTickCount() - removing_since_ >= kRemovingRepaintMs;
}

void ConfirmationWindow::KeepAnswering() {
  const DWORD now = GetTickCount();
  if (!removing_ || now - removing_since_ < kRemovingRepaintMs || now - last_answer_ < kAnswerIntervalMs) return;
  last_answer_ = now;
  if (now - last_show_ >= kShowIntervalMs) {
    last_show_ = now;
    ShowBar();
    Flush(true);
  }
  HandleWaitingMessages();
}

void ConfirmationWindow::ShowProgress(size_t done, size_t total) {
  progress_done_ = done;
  progress_total_ = total;
  KeepAnswering();
}

void ConfirmationWindow::ShowBar() {
  HWND bar = Control(kProgressId);
  if (progress_total_ == 0 && !marquee_) {
    marquee_ = true;
    SetWindowLongA(bar, GWL_STYLE, GetWindowLongA(bar, GWL_STYLE) | PBS_MARQUEE);
    SendMessageA(bar, PBM_SETMARQUEE, TRUE, 0);
  }
  const int position = ProgressPercent(progress_done_, progress_total_);
  if (position != progress_) SendMessageA(bar, PBM_SETPOS, progress_ = position, 0);
}

void ConfirmationWindow::EndRemovingState(bool offer_details) {
  removing_ = false;
  ShowWindow(Control(kDetailsButtonId), offer_details ? SW_SHOW : SW_HIDE);
  HWND bar = Control(kProgressId);
  if (marquee_) {
    SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
    SetWindowLongA(bar, GWL_STYLE, GetWindowLongA(bar, GWL_STYLE) & ~PBS_MARQUEE);
  }
  SendMessageA(bar, PBM_SETPOS, kProgressRange, 0);
  EnableWindow(Control(kReadyButtonId), TRUE);
  // The hidden OK had it: Ready takes it, with Details after it in the Tab cycle.
  window_.Focus(Control(kReadyButtonId));
}

void ConfirmationWindow::Flush(bool now) {
  if (repaint_held_ && (now || RepaintDue())) {
    repaint_held_ = false;
    UpdateWindow(window_.Handle());
  }
  status_.Flush();
}

void ConfirmationWindow::ShowDetails(const std::string& text, const std::string& folder) {
  details_folder_ = folder;
  if (!details_.Build(kDetailsWindow, WindowProc, WindowTitle(texts_), ControlText, texts_, window_.Handle())) return;
  SetWindowTextA(details_.Control(kStayedListId), text.c_str());
  ShowWindow(details_.Handle(), SW_SHOWNORMAL);
}

int ConfirmationWindow::WaitForControl() {
  MSG message;
  for (;;) {
    // Once, when nothing waits any more: the window is ready for input.
    if (!idle_told_ && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      idle_told_ = true;
      return kWindowIdle;
    }
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
    if (message.message == kControlActivated && message.hwnd == window_.Handle()) {
      // The window of what stayed closes, or opens the folder, by itself.
      // The focus goes back to Details, which had it when the window was left.
      if (message.wParam == kCloseDetailsId) details_.Destroy();
      if (message.wParam == kOpenFolderId) OpenFolderWindow(details_folder_);
      // Only a control the user can see and use counts: a click queued while
      // the removal ran must not reach a button that is gone by now.
      HWND control = reinterpret_cast<HWND>(message.lParam);
      if (IsWindowVisible(control) && IsWindowEnabled(control)) return static_cast<int>(message.wParam);
      continue;
    }
    if (details_.Handle() != nullptr && IsDialogMessageA(details_.Handle(), &message)) continue;
    if (window_.Handle() != nullptr && IsDialogMessageA(window_.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return kNoControl;
}

void ConfirmationWindow::Abandon() {
  status_.Attach(nullptr);
  window_.Abandon();
}

void ConfirmationWindow::Close() {
  details_.Destroy();
  status_.Attach(nullptr);
  window_.Destroy();
}
