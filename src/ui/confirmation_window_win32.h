// The one main window: what is to be removed, the delete-all option, the
// buttons, and the status line along its bottom edge.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "driver/settings.h"
#include "platform/owners_win32.h"
#include "ui/confirmation_layout.h"

class StatusLine {
 public:
  void Attach(HWND bar) {
    bar_ = bar;
    pending_ = false;
  }
  // Replaces the text of the only field at once: whoever reads the control
  // sees it. Painting keeps to the display's pace, at most one per 50 ms, so
  // that thousands of texts do not cost a repaint each.
  void Show(const std::string& text);
  // Paints a text that is not on the screen yet.
  void Flush();
  HWND Handle() const { return bar_; }

 private:
  HWND bar_ = nullptr;
  DWORD last_paint_ = 0;
  bool pending_ = false;
};

class ConfirmationWindow {
 public:
  explicit ConfirmationWindow(const UiTexts& texts) : texts_(texts) {}
  ~ConfirmationWindow() { Close(); }
  ConfirmationWindow(const ConfirmationWindow&) = delete;
  ConfirmationWindow& operator=(const ConfirmationWindow&) = delete;

  // Builds and shows the window; false if it cannot be created.
  bool Open();
  void HideDeleteAllOption();
  bool IsDeleteAllChecked() const;
  void EnterRemovingState();
  // Hands each activated control to on_control until it returns true. Close
  // requests and all other events change nothing.
  void RunEventLoop(const std::function<bool(int control)>& on_control);
  void Close();

  HWND Handle() const { return window_.Get(); }
  HWND Control(int id) const;
  StatusLine& Status() { return status_; }

 private:
  HWND CreateControl(const ControlSpec& layout, HWND band, int pixels_per_inch);
  HFONT FontFor(ControlFont font, int pixels_per_inch);

  UiTexts texts_;
  GdiObject fonts_[6];  // indexed by ControlFont
  WindowOwner window_;
  HWND band_ = nullptr;
  StatusLine status_;
};
