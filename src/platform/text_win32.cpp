#include "platform/text_win32.h"

#include <windows.h>

namespace {

std::wstring WideOf(UINT code_page, std::string_view text, DWORD flags = 0) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(code_page, flags, text.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

// UTF-8 refuses an unpaired surrogate; any other code page a letter it
// lacks, where it would otherwise take the nearest one.
bool NarrowOf(UINT code_page, std::wstring_view wide, std::string& text) {
  text.clear();
  if (wide.empty()) return true;
  const bool utf8 = code_page == CP_UTF8;
  DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  const auto convert = [&](char* out, int room) {
    return WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), out, room, nullptr,
                               utf8 ? nullptr : &used_default);
  };
  int length = convert(nullptr, 0);
  const bool well_formed = length > 0;
  if (!well_formed && utf8) {
    flags = 0;  // shown with the replacement character
    length = convert(nullptr, 0);
  }
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  if (length > 0) convert(&text[0], length);
  return well_formed && !used_default;
}

UINT LegacyCodePage() {
  DWORD code_page = 0;
  const int read = GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                  reinterpret_cast<LPWSTR>(&code_page), sizeof(code_page) / sizeof(wchar_t));
  return read > 0 && code_page != 0 ? code_page : 1252;
}

}  // namespace

std::wstring WideText(std::string_view text) { return WideOf(CP_ACP, text); }

bool StrictWideText(std::string_view text, std::wstring& wide) {
  wide = WideOf(CP_ACP, text, MB_ERR_INVALID_CHARS);
  return !wide.empty() || text.empty();
}

bool NarrowText(std::wstring_view wide, std::string& text) {
  return NarrowOf(GetACP() == CP_UTF8 ? CP_UTF8 : CP_ACP, wide, text);
}

std::string LegacyCodePageText(std::string_view bytes) {
  // ASCII reads alike in every code page the system uses as its own.
  bool ascii = true;
  for (const char c : bytes) ascii = ascii && (c & 0x80) == 0;
  const UINT legacy = LegacyCodePage();
  if (ascii || legacy == GetACP()) return std::string(bytes);
  std::string text;
  NarrowText(WideOf(legacy, bytes), text);
  return text;
}

bool TextOfUtf8(std::string_view utf8, std::string& text) {
  if (GetACP() == CP_UTF8) {
    text.assign(utf8);
    return true;
  }
  return NarrowText(WideOf(CP_UTF8, utf8), text);
}

std::string Utf8OfText(std::string_view text) {
  return GetACP() == CP_UTF8 ? std::string(text) : Utf8OfWide(WideText(text));
}

std::string Utf8OfWide(std::wstring_view wide) {
  std::string utf8;
  NarrowOf(CP_UTF8, wide, utf8);
  return utf8;
}
