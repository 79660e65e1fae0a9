#include "settings/settings_file.h"

#include <algorithm>

#include "text/text.h"

namespace {

enum class LineKind { Comment, Group, Key };

struct Line {
  LineKind kind = LineKind::Key;
  std::string_view name;
  std::string_view value;  // leading blanks skipped, trailing blanks kept
  size_t value_offset = 0;
  bool has_equals = false;  // a key's; without "=" its value is empty
  size_t next = 0;          // where the following line starts
};

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first line at or after pos that holds anything but blanks; false at the end.
bool NextLine(std::string_view text, size_t pos, Line& line) {
  const size_t size = text.size();
  while (pos < size) {
    while (pos < size && (IsLineEnd(text[pos]) || IsBlank(text[pos]))) ++pos;
    if (pos >= size) return false;
    size_t end = pos;
    while (end < size && !IsLineEnd(text[end])) ++end;
    const std::string_view body = text.substr(pos, end - pos);
    line.next = end;
    if (body[0] == ';') {
      line.kind = LineKind::Comment;
      line.name = body;
      line.value = std::string_view();
    } else if (body[0] == '[') {
      line.kind = LineKind::Group;
      const size_t close = body.find(']');
      line.name = body.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      line.value = std::string_view();
    } else {
      line.kind = LineKind::Key;
      const size_t equals = body.find('=');
      line.has_equals = equals != std::string_view::npos;
      std::string_view name = body.substr(0, equals);
      while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
      line.name = name;
      size_t value = equals == std::string_view::npos ? body.size() : equals + 1;
      while (value < body.size() && IsBlank(body[value])) ++value;
      line.value = body.substr(value);
      line.value_offset = pos + value;
    }
    return true;
  }
  return false;
}

// Only blanks stand between pos and the start of its line.
bool StartsLine(std::string_view text, size_t pos) {
  while (pos > 0 && IsBlank(text[pos - 1])) --pos;
  return pos == 0 || IsLineEnd(text[pos - 1]);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Names in the order of their bytes, letters of either case alike.
int CompareNames(std::string_view a, std::string_view b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const int order = static_cast<unsigned char>(AsciiLower(a[i])) - static_cast<unsigned char>(AsciiLower(b[i]));
    if (order != 0) return order;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

bool SameSettingsName(std::string_view a, std::string_view b) { return CompareNames(a, b) == 0; }

std::string SettingsNameKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = AsciiLower(c);
  return key;
}

bool DecodeSettingsValue(FileReader& files, bool utf8, std::string_view raw_value, std::string& text) {
  while (!raw_value.empty() && IsBlank(raw_value.back())) raw_value.remove_suffix(1);
  text.clear();
  if (!utf8) {
    text.assign(raw_value);
    return true;
  }
  // A sequence cut short by the value's end is malformed too: dropping it
  // would name another file.
  if (CheckUtf8(raw_value) != Utf8Form::kWellFormed || !files.Utf8Text(raw_value, text)) {
    text.clear();
    return false;
  }
  return true;
}

std::vector<SettingsLine> SettingsLines(std::string_view text) {
  std::vector<SettingsLine> lines;
  int number = 1;
  size_t counted = 0;  // line ends before here are counted in number
  bool nul = false;    // a NUL byte since the last line
  // The column of a position, counted on from the last one asked for (they
  // only grow), so that one long line costs no more than many short ones.
  size_t column_pos = 0;
  int column = 1;
  const auto column_at = [&](size_t pos) {
    for (; column_pos < pos; ++column_pos) column += (static_cast<unsigned char>(text[column_pos]) & 0xC0) != 0x80;
    return column;
  };
  Line line;
  for (size_t pos = 0; NextLine(text, pos, line); pos = line.next) {
    const size_t start = static_cast<size_t>(line.name.data() - text.data()) - (line.kind == LineKind::Group ? 1 : 0);
    for (; counted < start; ++counted) {
      const char c = text[counted];
      const bool crlf = c == '\r' && counted + 1 < text.size() && text[counted + 1] == '\n';
      if (c == '\n' || (c == '\r' && !crlf)) ++number, column_pos = counted + 1, column = 1;
      nul = nul || c == '\0';
    }
    std::string_view value = line.value;
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
    SettingsLine parsed;
    parsed.kind = line.kind == LineKind::Group     ? SettingsLine::kGroup
                  : line.kind == LineKind::Comment ? SettingsLine::kComment
                                                   : SettingsLine::kKey;
    parsed.has_equals = line.kind == LineKind::Key && line.has_equals;
    parsed.after_nul = nul && !lines.empty() && number == lines.back().number;
    parsed.name = std::string(line.name);
    parsed.value = std::string(value);
    parsed.number = number;
    parsed.column = column_at(start);
    parsed.value_column = line.kind == LineKind::Key ? column_at(line.value_offset) : parsed.column;
    lines.push_back(std::move(parsed));
    nul = false;
  }
  return lines;
}

bool SettingsFile::Open(FileReader& files, const std::string& path) {
  Close();
  HeldFileBytes file = files.ReadHeldFile(path);
  Load(files, path, std::move(file.bytes), std::move(file.hold));
  return file.opened;
}

void SettingsFile::Load(FileReader& files, const std::string& path, std::string bytes, FileHold hold) {
  Close();
  files_ = &files;
  path_ = path;
  open_ = true;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    utf8_ = true;
    bytes.erase(0, 3);
    text_ = std::move(bytes);
  } else {
    text_ = files.LegacyText(bytes);
  }
  hold_ = std::move(hold);
}

void SettingsFile::Close() {
  hold_.reset();
  path_.clear();
  text_.clear();
  text_.shrink_to_fit();
  open_ = utf8_ = missing_group_ = cursor_on_key_ = indexed_ = false;
  group_body_ = cursor_next_ = cursor_value_ = cursor_value_size_ = 0;
}

bool SettingsFile::SelectGroup(std::string_view group) {
  cursor_on_key_ = indexed_ = false;
  missing_group_ = false;
  if (group.empty()) {
    group_body_ = cursor_next_ = 0;
    return true;
  }
  // Found by its bracket rather than line by line: an absent group is looked
  // for through every key of the file, thousands of them in [Files].
  Line line;
  for (size_t open = text_.find('['); open != std::string::npos; open = text_.find('[', open + 1)) {
    if (!StartsLine(text_, open)) continue;
    NextLine(text_, open, line);
    if (SameSettingsName(line.name, group)) {
      group_body_ = cursor_next_ = line.next;
      return true;
    }
  }
  missing_group_ = true;
  return false;
}

bool SettingsFile::FindKey(std::string_view key, std::string_view& raw_value) const {
  if (!open_ || missing_group_) return false;
  if (!indexed_) {
    index_.clear();
    Line line;
    for (size_t pos = group_body_; NextLine(text_, pos, line) && line.kind != LineKind::Group; pos = line.next) {
      if (line.kind == LineKind::Key) index_.push_back({line.name, line.value});
    }
    // Stable: of a key given twice, the first is found.
    std::stable_sort(index_.begin(), index_.end(),
                     [](const IndexedKey& x, const IndexedKey& y) { return CompareNames(x.name, y.name) < 0; });
    indexed_ = true;
  }
  const auto found = std::lower_bound(
      index_.begin(), index_.end(), key,
      [](const IndexedKey& entry, std::string_view name) { return CompareNames(entry.name, name) < 0; });
  if (found == index_.end() || CompareNames(found->name, key) != 0) return false;
  raw_value = found->value;
  return true;
}

std::string SettingsFile::DecodedValue(std::string_view raw_value) const {
  std::string text;
  DecodeSettingsValue(*files_, utf8_, raw_value, text);
  return text;
}

std::string SettingsFile::ReadString(std::string_view key, std::string_view default_text) const {
  std::string_view raw;
  return FindKey(key, raw) ? DecodedValue(raw) : std::string(default_text);
}

int32_t SettingsFile::ReadNumber(std::string_view key, int32_t default_number) const {
  std::string_view raw;
  return FindKey(key, raw) ? ParseDecimal(std::string(raw)) : default_number;
}

bool SettingsFile::ExamineKeys() {
  if (!open_ || missing_group_) return false;
  cursor_next_ = group_body_;
  cursor_on_key_ = false;
  return true;
}

bool SettingsFile::NextKey() {
  if (!open_ || missing_group_) return false;
  Line line;
  for (size_t pos = cursor_next_; NextLine(text_, pos, line); pos = line.next) {
    if (line.kind == LineKind::Group) return false;
    if (line.kind == LineKind::Key) {
      cursor_next_ = line.next;
      cursor_on_key_ = true;
      cursor_value_ = line.value_offset;
      cursor_value_size_ = line.value.size();
      return true;
    }
  }
  return false;
}

std::string SettingsFile::KeyValue() const {
  if (!cursor_on_key_) return std::string();
  return DecodedValue(std::string_view(text_).substr(cursor_value_, cursor_value_size_));
}

std::vector<std::string> GroupValues(FileReader& files, const std::string& path, std::string_view group) {
  std::vector<std::string> values;
  SettingsFile file;
  file.Open(files, path);
  for (bool more = file.SelectGroup(group) && file.ExamineKeys() && file.NextKey(); more; more = file.NextKey()) {
    values.push_back(file.KeyValue());
  }
  return values;
}
