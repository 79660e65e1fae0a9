#include "privileges/logon_layout.h"

std::string LogonWindowTitle(const UiTexts& texts) { return " " + texts.logon; }

std::string LogonControlText(int id, const UiTexts& texts) {
  switch (id) {
    case kUserLabelId:
      return texts.user;
    case kPasswordLabelId:
      return texts.password;
    case kLogonButtonId:
      return texts.login;
    default:
      return std::string();
  }
}
