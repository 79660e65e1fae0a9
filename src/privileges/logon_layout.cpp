#include "privileges/logon_layout.h"

std::string LogonWindowTitle(const UiTexts& texts) { return " " + texts[UiText::kLogon]; }

std::string LogonControlText(int id, const UiTexts& texts) {
  switch (id) {
    case kUserLabelId:
      return texts[UiText::kUser];
    case kPasswordLabelId:
      return texts[UiText::kPassword];
    case kLogonButtonId:
      return texts[UiText::kLogin];
    default:
      return std::string();
  }
}
