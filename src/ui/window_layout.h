// What the program's two windows are built from: a table of controls each,
// and the geometry both share (centring on the screen, font heights). The
// Win32 builder makes a window from these; nothing here calls the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class ControlKind : uint8_t {
  Panel,
  Text,
  RightText,
  Icon,
  CheckBox,
  Separator,
  Button,
  Field,
  PasswordField,
  Frame,
  Progress,
  Report,
};

// Faces by point size and weight, or the platform's default GUI font.
enum class ControlFont : uint8_t { None, DefaultGui, Arial8Bold, Arial8, Arial10, Arial10Bold, System10Bold };
constexpr int kFontCount = static_cast<int>(ControlFont::System10Bold) + 1;

// Small fields: the tables are read-only data of the program.
struct ControlRow {
  int16_t id;
  ControlKind kind;
  bool in_title_band;  // a child of the title band (the table's first panel) rather than of the window
  int16_t x, y, width, height;
  ControlFont font;
};

constexpr size_t kMostControls = 16;

struct WindowTable {
  const char* window_class;
  bool closable;  // a system menu with a close box
  int client_width, client_height;
  const ControlRow* controls;  // in creation order, which is also the keyboard order
  size_t control_count;        // at most kMostControls
};

struct FontLook {
  const char* face;
  int points;
  int weight;  // 400 regular, 700 bold
};
FontLook FontLookOf(ControlFont font);

// The font a control shows its text in. The System font is a raster font,
// which shows only the letters of the system's code page: a text beyond
// ASCII takes Arial in its size and weight, which the system links to the
// fonts of every script.
ControlFont FontForText(ControlFont font, std::string_view text);

// The height to request for a font of this many points on a display with this
// many pixels per inch vertically: negative, so that it is a character height.
int FontHeight(int points, int pixels_per_inch);

struct Placement {
  int left, top, width, height;
};

// The layout is written for 96 dots per inch: a length at another resolution,
// rounded to the nearest pixel, halves away from zero.
constexpr int kLayoutDpi = 96;
int Scaled(int length, int dpi);

// A progress bar's position in hundredths: done of total (none: 0), from
// counts scaled down so that no product overflows.
int ProgressPercent(size_t done, size_t total);

// The outer window clamped to the screen and centred on it.
Placement CentredPlacement(int outer_width, int outer_height, int screen_width, int screen_height);
