// The logon window's fixed layout and texts.
#pragma once

#include <string>

#include "driver/settings.h"

constexpr int kLogonClientWidth = 260;
constexpr int kLogonClientHeight = 135;

enum LogonControlId : int {
  kUserLabelId = 11,
  kUserFieldId = 12,
  kPasswordLabelId = 13,
  kPasswordFieldId = 14,
  kLogonButtonId = 15,
  kLogonFrameId = 16,
};

enum class LogonControlKind { Label, Field, PasswordField, Button, Frame };

struct LogonControl {
  int id;
  LogonControlKind kind;
  int x, y, width, height;
};

// In creation order; the fields and the button are also the keyboard order.
constexpr LogonControl kLogonControls[] = {
    {kUserLabelId, LogonControlKind::Label, 20, 27, 90, 15},
    {kUserFieldId, LogonControlKind::Field, 115, 25, 120, 20},
    {kPasswordLabelId, LogonControlKind::Label, 20, 62, 90, 15},
    {kPasswordFieldId, LogonControlKind::PasswordField, 115, 60, 120, 20},
    {kLogonButtonId, LogonControlKind::Button, 90, 104, 80, 22},
    {kLogonFrameId, LogonControlKind::Frame, 10, 10, 240, 85},
};

// The logon button's face: "System", 10 points, bold.
constexpr char kLogonButtonFace[] = "System";
constexpr int kLogonButtonPoints = 10;
constexpr int kLogonButtonWeight = 700;

std::string LogonWindowTitle(const UiTexts& texts);
std::string LogonControlText(int id, const UiTexts& texts);
