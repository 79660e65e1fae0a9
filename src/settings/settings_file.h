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

class SettingsFile {
 public:
  SettingsFile() = default;
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // Closes any open file, then reads and keeps the file at path. A file that
  // cannot be opened still counts as open, with no entries. True if it was read.
  bool Open(FileReader& files, const std::string& path);
  // As Open, for bytes already read; hold keeps the file open until Close.
  void Load(const std::string& path, std::string bytes, FileHold hold);
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
  std::string WantedName(std::string_view name) const;
  std::string DecodedValue(std::string_view raw_value) const;

  std::string path_;
  std::string text_;  // the file after any UTF-8 signature
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
    size_t at;
  };
  mutable std::vector<IndexedKey> index_;
  mutable bool indexed_ = false;
};
