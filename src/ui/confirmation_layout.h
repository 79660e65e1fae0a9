// The confirmation window's fixed layout and its texts.
#pragma once

#include <iterator>
#include <string>

#include "settings/settings.h"
#include "ui/window_layout.h"

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
  kProgressId = 11,
  kDetailsButtonId = 12,
  // The window of what stayed.
  kStayedListId = 13,
  kOpenFolderId = 14,
  kCloseDetailsId = 15,
};

constexpr ControlRow kControls[] = {
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
    // Where OK was, from OK on.
    {kProgressId, ControlKind::Progress, false, 5, 153, 235, 16, ControlFont::None},
    // Beside Ready when something stayed.
    {kDetailsButtonId, ControlKind::Button, false, 250, 151, 70, 20, ControlFont::DefaultGui},
};

constexpr WindowTable kConfirmationWindow = {"QuillmarnUninstall", false, 400, 200, kControls, std::size(kControls)};

// What stayed, one item a line, and its buttons.
constexpr ControlRow kDetailsControls[] = {
    {kStayedListId, ControlKind::Report, false, 10, 10, 580, 200, ControlFont::DefaultGui},
    {kOpenFolderId, ControlKind::Button, false, 10, 220, 100, 22, ControlFont::DefaultGui},
    {kCloseDetailsId, ControlKind::Button, false, 490, 220, 100, 22, ControlFont::DefaultGui},
};

constexpr WindowTable kDetailsWindow = {"QuillmarnDetails",         true, 600, 252, kDetailsControls,
                                        std::size(kDetailsControls)};

// The status bar's one field ends here.
constexpr int kStatusFieldRight = 400;

std::string WindowTitle(const UiTexts& texts);
std::string ControlText(int id, const UiTexts& texts);
