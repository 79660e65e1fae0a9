// The one window builder: a centred top-level window made from its table,
// with every control in the table's order, its text and its font. Both the
// confirmation window and the logon window are made by it.
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

  // Builds the window hidden; false if the window cannot be created. The
  // window's class is registered once, with procedure.
  bool Build(const WindowSpec& spec, WNDPROC procedure, const std::string& title, ControlTextOf text_of,
             const UiTexts& texts);
  void Destroy();

  HWND Handle() const { return window_.Get(); }
  // A control of the table by its identifier; null for none or an identifier
  // that several controls share with the window's own (the separator's 0).
  HWND Control(int id) const;

 private:
  HFONT FontFor(ControlFont font, int pixels_per_inch);

  const WindowSpec* spec_ = nullptr;
  WindowOwner window_;
  HWND band_ = nullptr;
  GdiObject fonts_[kFontCount];
};
