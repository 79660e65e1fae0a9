// The logon window's fixed layout and texts.
#pragma once

#include <iterator>
#include <string>

#include "settings/settings.h"
#include "ui/window_layout.h"

enum LogonControlId : int {
  kUserLabelId = 11,
  kUserFieldId = 12,
  kPasswordLabelId = 13,
  kPasswordFieldId = 14,
  kLogonButtonId = 15,
  kLogonFrameId = 16,
};

// The fields and the button are also the keyboard order.
constexpr ControlRow kLogonControls[] = {
    {kUserLabelId, ControlKind::RightText, false, 20, 27, 90, 15, ControlFont::DefaultGui},
    {kUserFieldId, ControlKind::Field, false, 115, 25, 120, 20, ControlFont::DefaultGui},
    {kPasswordLabelId, ControlKind::RightText, false, 20, 62, 90, 15, ControlFont::DefaultGui},
    {kPasswordFieldId, ControlKind::PasswordField, false, 115, 60, 120, 20, ControlFont::DefaultGui},
    {kLogonButtonId, ControlKind::Button, false, 90, 104, 80, 22, ControlFont::System10Bold},
    {kLogonFrameId, ControlKind::Frame, false, 10, 10, 240, 85, ControlFont::None},
};

constexpr WindowTable kLogonWindow = {"QuillmarnLogon", true, 260, 135, kLogonControls, std::size(kLogonControls)};

std::string LogonWindowTitle(const UiTexts& texts);
std::string LogonControlText(int id, const UiTexts& texts);
