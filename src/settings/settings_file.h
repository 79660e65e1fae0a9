// SettingsFile: the one reader of uninstall.dat, an INI-style file. The whole
// file is read when it is opened; reads are served from memory. The file stays
// open, shared for reading only, until Close, so that nothing can change or
// delete it while it is being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/run_platform.h"
#include "text/text.h"

// Files as a Western system with the program's manifest honoured reads
// them: without a signature in code page 1252, the program's text UTF-8.
// For the tools and tests that run off Windows.
class WesternFileReader : public FileReader {
 public:
  std::string LegacyText(std::string_view bytes) override { return Windows1252ToUtf8(bytes); }
  bool Utf8Text(std::string_view utf8, std::string& text) override {
    text.assign(utf8);
    return true;
  }

 protected:
  ~WesternFileReader() = default;
};

// The largest uninstall.dat the program reads, rather than risk exhausting a
// 32-bit address space (a genuine one is a few kilobytes); a larger one
// reads as empty.
constexpr size_t kLargestSettingsFile = 64u << 20;

// One line of uninstall.dat as the reader parses it, with its number and
// columns in the file as an editor counts them (CR LF, LF or a lone CR ends
// a line, a NUL byte does not, though the reader ends a line there too;
// columns count letters from 1): for the tools that point the installer's
// author at a line.
struct SettingsLine {
  enum Kind : uint8_t { kComment, kGroup, kKey };
  Kind kind = kKey;
  bool has_equals = false;  // a key's; without "=" its value is empty
  bool after_nul = false;   // the reader began it at a NUL byte
  std::string name;
  std::string value;  // a key's raw bytes, trailing blanks removed
  int number = 0;
  int column = 1;        // where the line's name begins
  int value_column = 1;  // where a key's value begins
};
// The file's lines after any UTF-8 signature, in file order.
std::vector<SettingsLine> SettingsLines(std::string_view text);

// Whether two names of sections or keys are one, as the reader compares
// them: letters A to Z of either case alike.
bool SameSettingsName(std::string_view a, std::string_view b);
// The form of a name that is the same for every spelling SameSettingsName
// takes as one.
std::string SettingsNameKey(std::string_view name);

// A key's raw value as the program reads it: trailing blanks removed, and in
// a file with the UTF-8 signature decoded; a value holding a malformed
// sequence, one cut short at its end included, reads as empty (false).
bool DecodeSettingsValue(FileReader& files, bool utf8, std::string_view raw_value, std::string& text);

// The values of a group of the file at path, in file order (none when the
// group is missing): for [Files] and [Dirs], whose key names never count.
std::vector<std::string> GroupValues(FileReader& files, const std::string& path, std::string_view group);

class SettingsFile {
 public:
  SettingsFile() = default;
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // Closes any open file, then reads and keeps the file at path. A file that
  // cannot be opened still counts as open, with no entries. True if it was read.
  bool Open(FileReader& files, const std::string& path);
  // As Open, for bytes already read; hold keeps the file open until Close.
  // Without the UTF-8 signature the bytes are in the legacy code page and
  // become the program's text at once; with it, each value as it is read.
  void Load(FileReader& files, const std::string& path, std::string bytes, FileHold hold);
  void Close();

  bool SelectGroup(std::string_view group);
  std::string ReadString(std::string_view key, std::string_view default_text = {}) const;
  int32_t ReadNumber(std::string_view key, int32_t default_number) const;

  bool ExamineKeys();
  bool NextKey();
  std::string KeyValue() const;

  const std::string& Path() const { return path_; }
  bool IsUtf8() const { return utf8_; }

 private:
  // The raw value of the first key named key in the selected group.
  bool FindKey(std::string_view key, std::string_view& raw_value) const;
  std::string DecodedValue(std::string_view raw_value) const;

  FileReader* files_ = nullptr;
  std::string path_;
  // The program's text without a signature; with it, the UTF-8 after it,
  // whose names the program's names (ASCII) match as they stand.
  std::string text_;
  FileHold hold_{nullptr, nullptr};
  bool open_ = false;
  bool utf8_ = false;
  bool missing_group_ = false;
  size_t group_body_ = 0;   // offset of the first line after the selected group's line
  size_t cursor_next_ = 0;  // offset of the line after the cursor
  bool cursor_on_key_ = false;
  size_t cursor_value_ = 0;  // offset and length of the value at the cursor
  size_t cursor_value_size_ = 0;
  // The selected group's keys, sorted by name and, among equal names, in the
  // file's order, so that a lookup finds the first: made at the group's
  // first lookup, so that thousands of reads do not each scan the group.
  struct IndexedKey {
    std::string_view name;
    std::string_view value;
  };
  mutable std::vector<IndexedKey> index_;
  mutable bool indexed_ = false;
};
