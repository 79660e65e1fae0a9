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
  void Attach(HWND bar) { bar_ = bar; }
  // Replaces the text of the only field and paints it at once.
  void Show(const std::string& text) const;
  HWND Handle() const { return bar_; }

 private:
  HWND bar_ = nullptr;
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
  const StatusLine& Status() const { return status_; }

 private:
  HWND CreateControl(const ControlSpec& layout, HWND band, int pixels_per_inch);
  HFONT FontFor(ControlFont font, int pixels_per_inch);

  UiTexts texts_;
  GdiObject fonts_[6];  // indexed by ControlFont
  WindowOwner window_;
  HWND band_ = nullptr;
  StatusLine status_;
};
