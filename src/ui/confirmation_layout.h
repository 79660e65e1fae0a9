// The confirmation window's fixed layout, its texts and its geometry rules.
// The Win32 window builds itself from these; nothing here calls the platform.
#pragma once

#include <string>

#include "driver/settings.h"

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 200;

// Control identifiers, by which the event loop and tests know the controls.
enum ControlId : int {
  kSeparatorId = 0,
  kTitleBandId = 1,
  kHeadingId = 2,
  kMessageId = 3,
  kProgramIconId = 4,
  kOkButtonId = 5,
  kCancelButtonId = 6,
  kReadyButtonId = 7,
  kUninstallInfoId = 8,
  kProgramNameId = 9,
  kDeleteAllId = 10,
};

enum class ControlKind { Panel, Text, Icon, CheckBox, Separator, Button };

// Arial faces by point size and weight, or the platform's default GUI font.
enum class ControlFont { None, DefaultGui, Arial8Bold, Arial8, Arial10, Arial10Bold };

struct ControlSpec {
  int id;
  ControlKind kind;
  bool in_title_band;  // a child of the title band rather than of the window
  int x, y, width, height;
  ControlFont font;
};

// In creation order, which is also the keyboard order.
constexpr ControlSpec kControls[] = {
    {kTitleBandId, ControlKind::Panel, false, 0, 0, 480, 48, ControlFont::None},
    {kHeadingId, ControlKind::Text, true, 10, 10, 345, 15, ControlFont::Arial8Bold},
    {kMessageId, ControlKind::Text, true, 20, 24, 335, 15, ControlFont::Arial8},
    {kProgramIconId, ControlKind::Icon, true, 360, 8, 32, 32, ControlFont::None},
    {kUninstallInfoId, ControlKind::Text, false, 10, 60, 380, 18, ControlFont::Arial10},
    {kProgramNameId, ControlKind::Text, false, 10, 80, 380, 18, ControlFont::Arial10Bold},
    {kDeleteAllId, ControlKind::CheckBox, false, 10, 110, 380, 15, ControlFont::DefaultGui},
    {kSeparatorId, ControlKind::Separator, false, 2, 144, 399, 2, ControlFont::None},
    {kOkButtonId, ControlKind::Button, false, 5, 151, 60, 20, ControlFont::DefaultGui},
    {kCancelButtonId, ControlKind::Button, false, 325, 151, 70, 20, ControlFont::DefaultGui},
    {kReadyButtonId, ControlKind::Button, false, 325, 151, 70, 20, ControlFont::DefaultGui},
};

// The status bar's one field ends here.
constexpr int kStatusFieldRight = 400;

struct FontSpec {
  int points;
  int weight;  // 400 regular, 700 bold
};
FontSpec FontSpecOf(ControlFont font);

// The height to request for a font of this many points on a display with this
// many pixels per inch vertically: negative, so that it is a character height.
int FontHeight(int points, int pixels_per_inch);

std::string WindowTitle(const UiTexts& texts);
std::string ControlText(int id, const UiTexts& texts);

struct Placement {
  int left, top, width, height;
};

// The outer window clamped to the screen and centred on it.
Placement CentredPlacement(int outer_width, int outer_height, int screen_width, int screen_height);

// Every removal step announces its item with two blanks in front.
std::string StatusText(const std::string& item);
