// The one window builder: a centred top-level window made from its table,
// with every control in the table's order, its text and its font. Both the
// confirmation window and the logon window are made by it. The table is
// written for 96 dots per inch; the window is laid out at its display's
// resolution, and again when it moves to a display with another one.
#pragma once

#include <windows.h>

#include <string>

#include "platform/owners_win32.h"
#include "settings/settings.h"
#include "ui/window_layout.h"

// The program's icon in its resources.
constexpr int kIconResource = 1;

class BuiltWindow {
 public:
  using ControlTextOf = std::string (*)(int id, const UiTexts& texts);

  // Builds the window hidden, owned by owner if any; false if the window
  // cannot be created. The window's class is registered once, with procedure.
  bool Build(const WindowTable& table, WNDPROC procedure, const std::string& title, ControlTextOf text_of,
             const UiTexts& texts, HWND owner = nullptr);
  void Destroy();
  // Hides the window and lets it go with the process, which is ending: the
  // system takes it away faster than destroying it control by control.
  void Abandon();

  HWND Handle() const { return window_.Get(); }
  // A control of the table by its identifier; null for none or an identifier
  // that several controls share with the window's own (the separator's 0).
  HWND Control(int id) const;
  int Dpi() const { return dpi_; }

  // For the windows' procedures: WM_DPICHANGED lays the window built for it
  // out again at the new resolution, in the rectangle the system suggests.
  static void OnDpiChanged(HWND window, WPARAM wparam, LPARAM lparam);
  // The control that has the keyboard focus whenever the window is active.
  void Focus(HWND control);
  // For the windows' procedures, the focus as a dialog keeps it: WM_ACTIVATE
  // gives it back to the control that had it when the window was left, or
  // was given it meanwhile; WM_NEXTDLGCTL, from a list that takes all keys,
  // moves it on with Tab. True when the message needs nothing more.
  static bool OnFocusMessage(HWND window, UINT message, WPARAM wparam);

 private:
  // Each control's font and, for the icon, image at the window's resolution;
  // with move, also its place.
  void LayOutControls(bool move);
  HFONT FontFor(ControlFont font);

  const WindowTable* table_ = nullptr;
  WindowOwner window_;
  HWND band_ = nullptr;
  HWND focus_ = nullptr;
  HWND controls_[kMostControls] = {};         // in the table's order
  ControlFont fonts_of_[kMostControls] = {};  // each control's, for its text
  int dpi_ = kLayoutDpi;
  GdiObject fonts_[kFontCount];
  IconOwner icon_;
};
