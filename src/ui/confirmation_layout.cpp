#include "ui/confirmation_layout.h"

std::string WindowTitle(const UiTexts& texts) { return " " + texts.program_name; }

std::string ControlText(int id, const UiTexts& texts) {
  switch (id) {
    case kHeadingId:
      return texts.titel;
    case kMessageId:
      return texts.msg;
    case kUninstallInfoId:
      return texts.uninst_info;
    case kProgramNameId:
      return texts.name_line;
    case kDeleteAllId:
      return " " + texts.del_all;
    case kOkButtonId:
      return texts.ok;
    case kCancelButtonId:
      return texts.cancel;
    case kReadyButtonId:
      return texts.ready;
    case kDetailsButtonId:
      return texts.details;
    case kOpenFolderId:
      return texts.open_folder;
    case kCloseDetailsId:
      return texts.close;
    default:
      return std::string();
  }
}
