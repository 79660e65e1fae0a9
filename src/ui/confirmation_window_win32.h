// The one main window: what is to be removed, the delete-all option, the
// buttons, and the status line along its bottom edge.
#pragma once

#include <windows.h>

#include <string>

#include "platform/run_platform.h"
#include "settings/settings.h"
#include "ui/confirmation_layout.h"
#include "ui/window_builder_win32.h"

class StatusLine {
 public:
  StatusLine() = default;
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;
  ~StatusLine() { Attach(nullptr); }

  void Attach(HWND bar);
  // Replaces the text of the only field at once: whoever reads the control
  // sees it. The control itself takes the text only when it is read or
  // flushed, so that thousands of texts do not cost a repaint, or even a
  // change, each.
  void Show(const std::string& text);
  // Paints a text that is not on the screen yet.
  void Flush();
  HWND Handle() const { return bar_; }

 private:
  static LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);
  // Gives the control the latest text, without painting it.
  void Apply();

  HWND bar_ = nullptr;
  std::string latest_;
  bool text_pending_ = false;   // shown, not yet in the control
  bool paint_pending_ = false;  // in the control, not yet on the screen
};

class ConfirmationWindow {
 public:
  // The texts are read when the window opens, and must live as long as it.
  explicit ConfirmationWindow(const UiTexts& texts) : texts_(texts) {}
  ~ConfirmationWindow() { Close(); }
  ConfirmationWindow(const ConfirmationWindow&) = delete;
  ConfirmationWindow& operator=(const ConfirmationWindow&) = delete;

  // Builds and shows the window; false if it cannot be created.
  bool Open();
  void HideDeleteAllOption();
  bool IsDeleteAllChecked() const;
  // Shows Ready in place of OK and Cancel. The window is repainted once the
  // removal has taken long enough for anyone to see it, or sooner by Flush.
  void EnterRemovingState();
  // Puts the latest status text on the screen, and the window's held
  // repaint when it is due or when asked for now (before a box or a
  // program, which may take long).
  void Flush(bool now);
  // While the removal works: once its held repaint is due, the window
  // handles what it has waiting every so often, so that it answers the
  // system and repaints. A click on a control is dropped then.
  void KeepAnswering();
  // The progress bar: done of total, or a bar that only shows work going on
  // while the total is unknown (0). It repaints itself at each change, so it
  // is changed only as often as the window shows the latest text.
  void ShowProgress(size_t done, size_t total);
  // The bar stands full, Ready can be pressed, and Details is offered or not.
  void EndRemovingState(bool offer_details);
  // The window of what stayed, owned by this one; its Open folder opens the folder.
  void ShowDetails(const std::string& text, const std::string& folder);
  // Handles the window's events until the user activates a control that can
  // be seen and used, and returns its identifier; kNoControl when the events
  // end, and kWindowIdle once, when the window first waits for input. Close
  // requests and all other events change nothing.
  int WaitForControl();
  void Close();
  // Hides the window and leaves it to the ending process (BuiltWindow::Abandon).
  void Abandon();

  const UiTexts& Texts() const { return texts_; }
  HWND Handle() const { return window_.Handle(); }
  HWND Control(int id) const { return window_.Control(id); }
  StatusLine& Status() { return status_; }

 private:
  bool RepaintDue() const;
  void ShowBar();

  const UiTexts& texts_;
  BuiltWindow window_;
  BuiltWindow details_;
  std::string details_folder_;
  StatusLine status_;
  bool repaint_held_ = false;
  bool removing_ = false;  // the steps run: the window handles what waits now and then
  DWORD removing_since_ = 0;
  DWORD last_show_ = 0;
  DWORD last_answer_ = 0;
  size_t progress_done_ = 0;
  size_t progress_total_ = 0;
  int progress_ = 0;  // in hundredths, as shown
  bool marquee_ = false;
  bool idle_told_ = false;  // kWindowIdle has been returned
};
