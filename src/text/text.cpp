#include "text/text.h"

#include <algorithm>

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

std::string WithoutLeadingQuote(const std::string& path) {
  return !path.empty() && path[0] == '"' ? path.substr(1) : path;
}

}  // namespace

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

char UpperCaseByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'a' && b <= 'z') || b >= 0xE0 ? static_cast<char>(b - 32) : c;
}

std::string UpperCase(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = UpperCaseByte(c);
  return result;
}

std::string LowerCase(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE)) c = static_cast<char>(b + 32);
  }
  return result;
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
