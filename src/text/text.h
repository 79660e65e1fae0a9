// Text and path operations shared by every part of the uninstaller. Texts are
// 8-bit strings in the system's active code page: UTF-8 wherever Windows
// honours the program's manifest (10 1903 and later), the legacy ANSI code
// page elsewhere. Each operation returns a new text and never fails.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The index-th field (from 1; lower indexes count as 1) between occurrences of
// the first character of separator. Empty separator: the whole text.
std::string FieldOf(const std::string& text, int index, std::string_view separator);

// Appends the parts to text, one after another.
void AppendTexts(std::string& text, std::initializer_list<std::string_view> parts);
// The parts joined into one text, at the cost of one allocation.
std::string JoinTexts(std::initializer_list<std::string_view> parts);

// Every occurrence of find, left to right; inserted text is not searched again.
std::string ReplaceAll(const std::string& text, std::string_view find, std::string_view replacement);

std::string LeftBytes(const std::string& text, int n);
std::string RightBytes(const std::string& text, int n);

// Removes spaces, not tabs, at both ends.
std::string TrimBlanks(const std::string& text);

// The case of ASCII letters, and of the Latin, Greek and Cyrillic letters
// that have a case, in either form a text may take: a well-formed UTF-8
// sequence, or else a single byte of a Latin-1 code page (a-z and E0-FF go
// down by 32 in UpperCase; A-Z and C0-DE go up in LowerCase, DF stays).
std::string UpperCase(const std::string& text);
std::string LowerCase(const std::string& text);

// How bytes stand as UTF-8. Well-formed: shortest forms of code points up
// to U+10FFFF, no surrogates. Cut short: well-formed but for a sequence that
// the end of the bytes cuts off.
enum class Utf8Form : uint8_t { kWellFormed, kCutShort, kMalformed };
// The form of bytes, and in prefix the size of their well-formed start.
Utf8Form CheckUtf8(std::string_view bytes, size_t* prefix = nullptr);
// The length of a text in UTF-16 units, the platform's own: a well-formed
// UTF-8 sequence counts as its code point's one or two units, any other byte
// as one (the one letter it stands for, or its replacement). A text of a
// single-byte legacy code page never counts more than its bytes.
size_t Utf16Units(std::string_view text);
// Code page 1252, the Western legacy code page, as UTF-8: where no Windows
// says which code page a file was written in.
std::string Windows1252ToUtf8(std::string_view bytes);

std::string DecimalText(int32_t number);

// Leading spaces and tabs, one sign, digits to the first other byte; wraps in 32 bits.
int32_t ParseDecimal(const std::string& text);

// The path without one leading double quote, as an installer may quote a
// path with blanks itself.
std::string WithoutLeadingQuote(const std::string& path);

// Up to and including the last slash or backslash before the first "|";
// one leading double quote is skipped.
std::string DirectoryOf(const std::string& path);
// After the last slash or backslash, up to the next double quote.
std::string FileNameOf(const std::string& path);
// After a final dot that follows the last slash or backslash, up to a double quote.
std::string ExtensionOf(const std::string& path);

bool TextEquals(const std::string& a, const std::string& b);

// A path that names its drive and root ("C:\x") or its share ("\\server\x"):
// one that means the same whatever the current directory is.
bool IsFullPath(const std::string& path);

// The path with a backslash at its end, added when missing ("" becomes "\").
std::string WithTrailingBackslash(const std::string& path);
std::string WithoutTrailingBackslashes(const std::string& path);
