// The program's text where the system speaks UTF-16 or another code page.
// The program's text is in the active code page: UTF-8 wherever the system
// honours the manifest, which makes every A function exact; the legacy ANSI
// code page where it does not. No conversion here ever picks a best-fit
// letter: a letter without an exact form fails the conversion.
#pragma once

#include <string>
#include <string_view>

// UTF-16 of the program's text.
std::wstring WideText(std::string_view text);
// The same, strictly: false for bytes that are no text of the active code
// page (malformed UTF-8, say), which WideText shows as replacements.
bool StrictWideText(std::string_view text, std::wstring& wide);
// The program's text of UTF-16; false when a letter has no exact form (text
// then holds the system's default character in its place, for showing only).
bool NarrowText(std::wstring_view wide, std::string& text);
// The program's text of bytes in the legacy ANSI code page (the system's,
// whatever the manifest makes the active one).
std::string LegacyCodePageText(std::string_view bytes);
// The program's text of well-formed UTF-8, and UTF-8 of the program's text.
bool TextOfUtf8(std::string_view utf8, std::string& text);
std::string Utf8OfText(std::string_view text);
std::string Utf8OfWide(std::wstring_view wide);
