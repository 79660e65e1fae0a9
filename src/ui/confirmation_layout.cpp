#include "ui/confirmation_layout.h"

#include <algorithm>
#include <cstdint>

FontSpec FontSpecOf(ControlFont font) {
  switch (font) {
    case ControlFont::Arial8Bold:
      return {8, 700};
    case ControlFont::Arial8:
      return {8, 400};
    case ControlFont::Arial10:
      return {10, 400};
    case ControlFont::Arial10Bold:
      return {10, 700};
    default:
      return {0, 0};
  }
}

namespace {

uint32_t Magnitude(int number) {
  return number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
}

}  // namespace

int FontHeight(int points, int pixels_per_inch) {
  // Rounded to the nearest integer, halves away from zero. In 32 bits, which
  // hold any point size times any display's resolution (and wrap, never
  // overflow, beyond), so that no 64-bit division is linked in.
  const uint32_t magnitude = (Magnitude(points) * Magnitude(pixels_per_inch) + 36u) / 72u;
  const bool negative = (points < 0) != (pixels_per_inch < 0);
  return negative ? static_cast<int>(magnitude) : -static_cast<int>(magnitude);
}

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
    default:
      return std::string();
  }
}

Placement CentredPlacement(int outer_width, int outer_height, int screen_width, int screen_height) {
  const int width = std::min(outer_width, screen_width);
  const int height = std::min(outer_height, screen_height);
  return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

std::string StatusText(const std::string& item) { return "  " + item; }
