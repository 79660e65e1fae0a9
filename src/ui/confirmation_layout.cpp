#include "ui/confirmation_layout.h"

std::string WindowTitle(const UiTexts& texts) { return " " + texts.program_name; }

std::string ControlText(int id, const UiTexts& texts) {
  switch (id) {
    case kHeadingId:
      return texts[UiText::kTitel];
    case kMessageId:
      return texts[UiText::kMsg];
    case kUninstallInfoId:
      return texts[UiText::kUninstInfo];
    case kProgramNameId:
      return texts.name_line;
    case kDeleteAllId:
      return " " + texts[UiText::kDelAll];
    case kOkButtonId:
      return texts[UiText::kOk];
    case kCancelButtonId:
      return texts[UiText::kCancel];
    case kReadyButtonId:
      return texts[UiText::kReady];
    case kDetailsButtonId:
      return texts[UiText::kDetails];
    case kOpenFolderId:
      return texts[UiText::kOpenFolder];
    case kCloseDetailsId:
      return texts[UiText::kClose];
    default:
      return std::string();
  }
}
