// The texts of the boxes shown before there is an uninstall.dat to read
// texts from: that it is missing, and that the system gives the program its
// own folder's name only with letters changed. In the user's language where
// the program has them, English otherwise; UTF-8.
#pragma once

#include <cstdint>
#include <string_view>

struct FirstBoxTexts {
  std::string_view caption;  // without the leading blank of every caption
  std::string_view missing;  // followed by the path tried, on a line of its own
  std::string_view inexact;  // followed by the program's path, then:
  std::string_view inexact_after;
};

// By the user's UI language (a Windows language id, as
// GetUserDefaultUILanguage gives it): English, German, French, Spanish,
// Italian, Portuguese, Russian, Polish, Chinese (Simplified) and Japanese.
FirstBoxTexts FirstBoxTextsFor(uint16_t ui_language);
