#include "ui/window_layout.h"

#include <algorithm>
#include <cstdint>

FontLook FontLookOf(ControlFont font) {
  // By ControlFont; a named table stays read-only data, where a switch over
  // these would become a writable one.
  static constexpr FontLook kFonts[] = {{"", 0, 0},         {"", 0, 0},         {"Arial", 8, 700},  {"Arial", 8, 400},
                                        {"Arial", 10, 400}, {"Arial", 10, 700}, {"System", 10, 700}};
  static_assert(sizeof(kFonts) / sizeof(kFonts[0]) == kFontCount, "a look for every font");
  return kFonts[static_cast<int>(font)];
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

int Scaled(int length, int dpi) {
  // In 32 bits: any length of a window times any display's resolution fits.
  const uint32_t magnitude = (Magnitude(length) * Magnitude(dpi) + kLayoutDpi / 2) / kLayoutDpi;
  return (length < 0) != (dpi < 0) ? -static_cast<int>(magnitude) : static_cast<int>(magnitude);
}

Placement CentredPlacement(int outer_width, int outer_height, int screen_width, int screen_height) {
  const int width = std::min(outer_width, screen_width);
  const int height = std::min(outer_height, screen_height);
  return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

int ProgressPercent(size_t done, size_t total) {
  const size_t step = total / 100 + 1;
  return total == 0 ? 0 : static_cast<int>(done / step * 100 / (total / step));
}
