#include "ui/window_layout.h"

#include <algorithm>
#include <cstdint>

FontLook FontLookOf(ControlFont font) {
  switch (font) {
    case ControlFont::None:
    case ControlFont::DefaultGui:
      return {"", 0, 0};
    case ControlFont::Arial8Bold:
      return {"Arial", 8, 700};
    case ControlFont::Arial8:
      return {"Arial", 8, 400};
    case ControlFont::Arial10:
      return {"Arial", 10, 400};
    case ControlFont::Arial10Bold:
      return {"Arial", 10, 700};
    case ControlFont::System10Bold:
      return {"System", 10, 700};
  }
  return {"", 0, 0};
}

ControlFont FontForText(ControlFont font, std::string_view text) {
  const bool beyond_ascii =
      std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return font == ControlFont::System10Bold && beyond_ascii ? ControlFont::Arial10Bold : font;
}

namespace {

// length * numerator / denominator, rounded to the nearest integer, halves
// away from zero; in 64 bits, which hold any product of two ints.
int RoundedRatio(int length, int numerator, int denominator) {
  const int64_t product = static_cast<int64_t>(length) * numerator;
  const int64_t half = denominator / 2;
  return static_cast<int>(product < 0 ? (product - half) / denominator : (product + half) / denominator);
}

}  // namespace

int FontHeight(int points, int pixels_per_inch) {
  // Negative: the height of the letters, not of the cell.
  return -RoundedRatio(points, pixels_per_inch, 72);
}

int Scaled(int length, int dpi) { return RoundedRatio(length, dpi, kLayoutDpi); }

Placement CentredPlacement(int outer_width, int outer_height, int screen_width, int screen_height) {
  const int width = std::min(outer_width, screen_width);
  const int height = std::min(outer_height, screen_height);
  return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

int ProgressPercent(size_t done, size_t total) {
  const size_t step = total / 100 + 1;
  return total == 0 ? 0 : static_cast<int>(done / step * 100 / (total / step));
}
