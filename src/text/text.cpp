#include "text/text.h"

#include <algorithm>

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string WithoutLeadingQuote(const std::string& path) {
  return !path.empty() && path[0] == '"' ? path.substr(1) : path;
}

std::string FieldOf(const std::string& text, int index, std::string_view separator) {
  if (separator.empty()) return index <= 1 ? text : std::string();
  const char sep = separator[0];
  size_t start = 0;
  for (int field = 1; field < index; ++field) {
    const size_t next = text.find(sep, start);
    if (next == std::string::npos) return std::string();
    start = next + 1;
  }
  const size_t end = text.find(sep, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void AppendTexts(std::string& text, std::initializer_list<std::string_view> parts) {
  size_t size = text.size();
  for (const std::string_view part : parts) size += part.size();
  text.reserve(size);
  for (const std::string_view part : parts) text += part;
}

std::string JoinTexts(std::initializer_list<std::string_view> parts) {
  std::string text;
  AppendTexts(text, parts);
  return text;
}

std::string ReplaceAll(const std::string& text, std::string_view find, std::string_view replacement) {
  if (find.empty()) return text;
  std::string result;
  size_t from = 0;
  for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, from)) {
    result.append(text, from, at - from);
    result += replacement;
    from = at + find.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string LeftBytes(const std::string& text, int n) {
  if (n <= 0) return std::string();
  return text.substr(0, static_cast<size_t>(n));
}

std::string RightBytes(const std::string& text, int n) {
  if (n <= 0) return std::string();
  const size_t count = std::min(text.size(), static_cast<size_t>(n));
  return text.substr(text.size() - count);
}

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

namespace {

// The sequence at the start of bytes: its length and code point, 0 when it
// is malformed, and kCut when the end of the bytes cuts a well-formed start.
constexpr size_t kCut = static_cast<size_t>(-1);
size_t DecodeSequence(std::string_view bytes, uint32_t& code) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  size_t length = 0;
  uint32_t lowest = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, lowest = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, lowest = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, lowest = 0x10000, code = lead & 0x07u;
  } else {
    return 0;  // a continuation byte where a sequence starts, an overlong lead, or beyond U+10FFFF
  }
  for (size_t k = 1; k < length; ++k) {
    if (k >= bytes.size()) return kCut;
    const auto next = static_cast<unsigned char>(bytes[k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3Fu);
    // Overlong forms, surrogates and code points beyond U+10FFFF show by
    // the second byte already: a sequence cut after it is malformed too.
    if (k == 1 && length > 2) {
      const unsigned shift = 6 * static_cast<unsigned>(length - 2);
      const uint32_t least = code << shift;
      const uint32_t most = least | ((1u << shift) - 1);
      if (most < lowest || least > 0x10FFFF || (length == 3 && least >= 0xD800 && least <= 0xDFFF)) return 0;
    }
  }
  return code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF ? 0 : length;
}

void AppendUtf8(std::string& text, uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (code >> 18));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Latin Extended-A pairs its letters as capital and small next to each
// other, the capital on an even code point in some runs and on an odd one in
// others.
bool CapitalIsEven(uint32_t code) { return (code >= 0x100 && code <= 0x137) || (code >= 0x14A && code <= 0x177); }
bool CapitalIsOdd(uint32_t code) { return (code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E); }

uint32_t UpperCode(uint32_t code) {
  if ((code >= 'a' && code <= 'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) return code - 0x20;
  if (code == 0xFF) return 0x178;
  if (CapitalIsEven(code) && (code & 1) != 0 && code != 0x131) return code - 1;
  if (CapitalIsOdd(code) && (code & 1) == 0) return code - 1;
  if ((code >= 0x3B1 && code <= 0x3C9 && code != 0x3C2) || (code >= 0x430 && code <= 0x44F)) return code - 0x20;
  if (code >= 0x450 && code <= 0x45F) return code - 0x50;
  return code;
}

uint32_t LowerCode(uint32_t code) {
  if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7)) return code + 0x20;
  if (code == 0x178) return 0xFF;
  if (CapitalIsEven(code) && (code & 1) == 0 && code != 0x130) return code + 1;
  if (CapitalIsOdd(code) && (code & 1) != 0) return code + 1;
  if ((code >= 0x391 && code <= 0x3A9 && code != 0x3A2) || (code >= 0x410 && code <= 0x42F)) return code + 0x20;
  if (code >= 0x400 && code <= 0x40F) return code + 0x50;
  return code;
}

// Each well-formed UTF-8 sequence by its code point, every other byte by
// itself as a Latin-1 byte.
template <typename ChangeCode, typename ChangeByte>
std::string ChangeCase(const std::string& text, ChangeCode change_code, ChangeByte change_byte) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t code = 0;
    const size_t length = DecodeSequence(std::string_view(text).substr(i), code);
    if (length == 0 || length == kCut) {
      result += change_byte(static_cast<unsigned char>(text[i]));
      ++i;
    } else {
      AppendUtf8(result, change_code(code));
      i += length;
    }
  }
  return result;
}

}  // namespace

std::string UpperCase(const std::string& text) {
  return ChangeCase(text, UpperCode, [](unsigned char b) { return static_cast<char>(b >= 0xE0 ? b - 32 : b); });
}

std::string LowerCase(const std::string& text) {
  return ChangeCase(text, LowerCode,
                    [](unsigned char b) { return static_cast<char>(b >= 0xC0 && b <= 0xDE ? b + 32 : b); });
}

size_t Utf16Units(std::string_view text) {
  size_t units = 0;
  for (size_t i = 0; i < text.size();) {
    uint32_t code = 0;
    const size_t length = DecodeSequence(text.substr(i), code);
    const bool letter = length != 0 && length != kCut;
    units += letter && code >= 0x10000 ? 2 : 1;
    i += letter ? length : 1;
  }
  return units;
}

Utf8Form CheckUtf8(std::string_view bytes, size_t* prefix) {
  size_t i = 0;
  Utf8Form form = Utf8Form::kWellFormed;
  while (i < bytes.size()) {
    uint32_t code = 0;
    const size_t length = DecodeSequence(bytes.substr(i), code);
    if (length == 0) {
      form = Utf8Form::kMalformed;
      break;
    }
    if (length == kCut) {
      form = Utf8Form::kCutShort;
      break;
    }
    i += length;
  }
  if (prefix != nullptr) *prefix = i;
  return form;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  // 80 to 9F; the five bytes the code page leaves free keep their C1 code points, as Windows maps them.
  static constexpr uint16_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                         0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                         0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  std::string text;
  text.reserve(bytes.size());
  size_t from = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) continue;
    // Runs of ASCII, the bulk of any such file, are copied whole.
    text.append(bytes.data() + from, i - from);
    AppendUtf8(text, b < 0xA0 ? kHigh[b - 0x80] : b);
    from = i + 1;
  }
  text.append(bytes.data() + from, bytes.size() - from);
  return text;
}

std::string DecimalText(int32_t number) {
  // The magnitude as unsigned, so that the most negative number has one too.
  const bool negative = number < 0;
  uint32_t value = negative ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    value /= 10;
  } while (value != 0);
  return negative ? "-" + digits : digits;
}

int32_t ParseDecimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint32_t value = 0;  // unsigned, so that overflow wraps without undefined behaviour
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

bool IsFullPath(const std::string& path) {
  const bool drive = path.size() >= 3 && (path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z' && path[1] == ':' &&
                     IsSlash(path[2]);
  return drive || (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]));
}

std::string DirectoryOf(const std::string& path) {
  const std::string text = WithoutLeadingQuote(path);
  const size_t limit = std::min(text.find('|'), text.size());
  for (size_t i = limit; i > 0; --i) {
    if (IsSlash(text[i - 1])) return text.substr(0, i);
  }
  return std::string();
}

std::string FileNameOf(const std::string& path) {
  const std::string text = WithoutLeadingQuote(path);
  const size_t slash = text.find_last_of("\\/");
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  const size_t quote = text.find('"', start);
  return text.substr(start, quote == std::string::npos ? std::string::npos : quote - start);
}

std::string ExtensionOf(const std::string& path) {
  const size_t mark = path.find_last_of(".\\/");
  if (mark == std::string::npos || path[mark] != '.') return std::string();
  const size_t quote = path.find('"', mark + 1);
  return path.substr(mark + 1, quote == std::string::npos ? std::string::npos : quote - mark - 1);
}

bool TextEquals(const std::string& a, const std::string& b) { return a == b; }

std::string WithTrailingBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

std::string WithoutTrailingBackslashes(const std::string& path) {
  const size_t last = path.find_last_not_of('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}
