#include "checker/author_notes.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "driver/removal_steps.h"
#include "driver/user_tasks.h"
#include "external/running_program.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"
#include "settings/plural.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/text.h"

namespace {

constexpr const char* kGroups[] = {"Settings", "StartProg", "StartMenu", "UserTask", "Language", "Files", "Dirs"};
constexpr int kMostTasks = 127;
constexpr size_t kShownLetters = 80;  // of a value quoted in a finding

// The edits that make one name the other (both in the reader's one case).
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// A known name close enough to be the one meant; empty when none is. Names
// whose lengths differ by 3 or more are never compared: they cannot be.
std::string Nearest(const std::string& name, const std::vector<std::string>& known) {
  std::string best;
  size_t best_distance = 3;
  for (const std::string& candidate : known) {
    if (name.size() + 3 <= candidate.size() || candidate.size() + 3 <= name.size()) continue;
    const size_t distance = Distance(SettingsNameKey(name), SettingsNameKey(candidate));
    if (distance < best_distance && distance < candidate.size()) best = candidate, best_distance = distance;
  }
  return best;
}

// A value as a finding quotes it: control characters and bytes that are no
// UTF-8 escaped, cut after kShownLetters letters.
std::string Shown(const std::string& value) {
  const bool utf8 = CheckUtf8(value) == Utf8Form::kWellFormed;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  size_t letters = 0;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    const bool starts_letter = !utf8 || (byte & 0xC0) != 0x80;
    if (starts_letter && ++letters > kShownLetters) return shown + "...";
    if (byte < 0x20 || byte == 0x7F || (!utf8 && byte >= 0x80)) {
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    } else {
      shown += c;
    }
  }
  return shown;
}

// A number as the program reads it, written as one: blanks, a sign, digits.
bool IsPlainNumber(const std::string& value) {
  const std::string text = TrimBlanks(value);
  const size_t digits = text.compare(0, 1, "-") == 0 || text.compare(0, 1, "+") == 0 ? 1 : 0;
  return text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos;
}

bool IsTaskKey(const std::string& name, int& number) {
  if (name.size() < 5 || name.size() > 8 || !SameSettingsName(name.substr(0, 4), "Task") || name[4] == '0') {
    return false;
  }
  if (name.find_first_not_of("0123456789", 4) != std::string::npos) return false;
  number = ParseDecimal(name.substr(4));
  return true;
}

// What an on/off setting does either way.
struct FlagEffect {
  const char* key;
  const char* on;
  const char* off;
};
constexpr FlagEffect kFlagEffects[] = {
    {kSettingsFlags[0], "the script runs", "no script runs"},
    {kSettingsFlags[1], "delete-all is not offered", "delete-all is offered"},
    {kSettingsFlags[2], "administrator rights are asked for", "no administrator rights are asked for"},
};

class Checker {
 public:
  Checker(const std::string& bytes, FileReader& files) : bytes_(bytes), files_(files) {}

  std::vector<CheckedValue> Values() {
    std::vector<CheckedValue> values;
    if (!ReadText()) return values;
    ReadGroups();
    for (const char* name : kGroups) {
      const Group* group = Find(name);
      if (IsValuesGroup(name)) {
        if (group == nullptr) continue;
        for (const SettingsLine* key : group->keys) values.push_back({name, "", true, Value(*group, *key)});
        continue;
      }
      std::vector<std::string> keys = KeysOfGroup(name);
      if (SameSettingsName(name, "UserTask")) {
        for (int task = 1; task <= kMostTasks; ++task) keys.push_back("Task" + DecimalText(task));
      }
      for (const std::string& key : keys) {
        const SettingsLine* line = Key(group, key);
        values.push_back({name, key, line != nullptr, line != nullptr ? Value(*group, *line) : std::string()});
      }
    }
    return values;
  }

  std::vector<AuthorFinding> Run() {
    // Of a UTF-16 file, only that: every other finding would follow from it.
    if (!ReadText() || utf16_) return findings_;
    ReadGroups();
    for (const char* group : {"Settings", "StartProg", "StartMenu", "Language"}) DecodeKnownKeys(group);
    CheckSettings();
    CheckPrograms();
    CheckTasks();
    CheckFilesAndDirs();
    CheckLanguage();
    std::stable_sort(findings_.begin(), findings_.end(), [](const AuthorFinding& a, const AuthorFinding& b) {
      return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return findings_;
  }

 private:
  struct Group {
    std::string name;
    int line;
    bool read;  // the first of a known name, the one the program reads
    std::vector<const SettingsLine*> keys;
    std::unordered_map<std::string, const SettingsLine*> first;  // by SettingsNameKey
  };

  void Add(bool error, int line, int column, const std::string& text) {
    findings_.push_back({error, line, column, text});
  }
  void Add(bool error, const SettingsLine& at, const std::string& text) { Add(error, at.number, at.column, text); }
  void AtValue(bool error, const SettingsLine& at, const std::string& text) {
    Add(error, at.number, at.value_column, text);
  }

  // The file as a whole: what the program makes of its bytes before any line.
  bool ReadText() {
    if (bytes_.size() > kLargestSettingsFile) {
      Add(true, 1, 0,
          "the file is larger than 64 MiB, so the program reads it as empty and every uninstall fails (exit code "
          "1603 unattended)");
      return false;
    }
    utf8_ = bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0;
    text_ = utf8_ ? bytes_.substr(3) : files_.LegacyText(bytes_);
    lines_ = SettingsLines(text_);
    told_malformed_.assign(lines_.size(), false);
    // Read as the program reads it all the same: its NUL bytes end lines.
    utf16_ = bytes_.compare(0, 2, "\xFF\xFE") == 0 || bytes_.compare(0, 2, "\xFE\xFF") == 0 ||
             (bytes_.size() >= 2 && (bytes_[0] == '\0' || bytes_[1] == '\0'));
    if (utf16_) {
      Add(true, 1, 0,
          "the file is UTF-16, which the program does not read (only UTF-8 with its signature, or the system's "
          "code page): a NUL byte ends each line, so it finds next to nothing in it");
      return true;
    }
    // UTF-8 without the signature: its letters beyond ASCII read as others.
    const auto non_ascii =
        std::find_if(bytes_.begin(), bytes_.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!utf8_ && non_ascii != bytes_.end() && CheckUtf8(bytes_) == Utf8Form::kWellFormed) {
      // Told on the first line that holds such a letter, as the reader numbers lines.
      const auto beyond_ascii = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
      };
      const auto at = std::find_if(lines_.begin(), lines_.end(), [&](const SettingsLine& l) {
        return beyond_ascii(l.name) || beyond_ascii(l.value);
      });
      const int line = at != lines_.end() ? at->number : 1;
      const std::string first(non_ascii, non_ascii + std::min<ptrdiff_t>(bytes_.end() - non_ascii, 4));
      size_t length = 0;
      CheckUtf8(first, &length);
      Add(true, line, 0,
          JoinTexts({"the file is UTF-8 without its signature (EF BB BF), so the program reads it in the system's "
                     "code page: ",
                     first.substr(0, std::max<size_t>(length, 1)), " reads as ",
                     files_.LegacyText(first.substr(0, std::max<size_t>(length, 1))),
                     ", and no name with such letters is found; save it with the signature"}));
    }
    for (const SettingsLine& line : lines_) {
      if (line.after_nul) {
        Add(false, line.number, line.column - 1,
            "a NUL byte, which ends a line for the program: what follows it is read as a line of its own");
      }
    }
    return true;
  }

  // The value as the program reads it; a malformed one is told once for its
  // line, however often it is read, and read as empty.
  std::string Value(const Group& group, const SettingsLine& key) {
    std::string text;
    if (DecodeSettingsValue(files_, utf8_, key.value, text)) return text;
    const size_t line = static_cast<size_t>(&key - lines_.data());
    if (!told_malformed_[line]) {
      size_t well_formed = 0;
      CheckUtf8(key.value, &well_formed);
      int column = key.value_column;
      for (size_t i = 0; i < well_formed; ++i) column += (static_cast<unsigned char>(key.value[i]) & 0xC0) != 0x80;
      Add(true, key.number, column,
          JoinTexts({"[", group.name, "] ", Shown(key.name), ": malformed UTF-8, so the value reads as empty"}));
    }
    told_malformed_[line] = true;
    return std::string();
  }

  // Each key the program reads as text, decoded once, which tells the
  // malformed ones; numbers are read from the raw bytes.
  void DecodeKnownKeys(const char* group_name) {
    const Group* group = Find(group_name);
    if (group == nullptr) return;
    for (const std::string& name : KnownKeys(group_name)) {
      const bool number = std::any_of(std::begin(kSettingsFlags), std::end(kSettingsFlags),
                                      [&](const char* flag) { return SameSettingsName(flag, name); });
      const SettingsLine* key = Key(group, name);
      if (key != nullptr && !number) Value(*group, *key);
    }
  }

  // The first group of that name, as the reader selects it.
  const Group* Find(const char* name) const {
    const auto found = first_group_.find(SettingsNameKey(name));
    return found == first_group_.end() ? nullptr : &groups_[found->second];
  }

  // The first key of that name, as a lookup finds it.
  static const SettingsLine* Key(const Group* group, const std::string& name) {
    if (group == nullptr) return nullptr;
    const auto found = group->first.find(SettingsNameKey(name));
    return found == group->first.end() ? nullptr : found->second;
  }

  void ReadGroups() {
    const std::vector<std::string> known_groups(std::begin(kGroups), std::end(kGroups));
    for (const SettingsLine& line : lines_) {
      if (line.kind == SettingsLine::kComment) continue;
      if (line.kind == SettingsLine::kGroup) {
        const bool known = std::any_of(known_groups.begin(), known_groups.end(),
                                       [&](const std::string& g) { return SameSettingsName(g, line.name); });
        const auto earlier = first_group_.emplace(SettingsNameKey(line.name), groups_.size());
        const bool first = earlier.second;
        groups_.push_back({line.name, line.number, known && first, {}, {}});
        if (!known) {
          const std::string nearest = Nearest(line.name, known_groups);
          Add(false, line,
              JoinTexts({"[", Shown(line.name), "]: unknown section, never read",
                         nearest.empty() ? "" : " (did you mean [", nearest, nearest.empty() ? "" : "]?)"}));
        } else if (!first) {
          Add(false, line,
              JoinTexts({"[", Shown(line.name), "]: given again; only the one on line ",
                         DecimalText(groups_[earlier.first->second].line), " is read"}));
        }
        continue;
      }
      if (groups_.empty()) {
        Add(false, line, JoinTexts({Shown(line.name), ": before any section, never read"}));
        continue;
      }
      Group& group = groups_.back();
      group.keys.push_back(&line);
      // Only keyed groups are looked up by name: thousands of [Files] keys never are.
      if (group.read && !IsValuesGroup(group.name)) group.first.emplace(SettingsNameKey(line.name), &line);
      if (group.read) CheckKeyName(group, line);
    }
  }

  static bool IsValuesGroup(const std::string& name) {
    return SameSettingsName(name, "Files") || SameSettingsName(name, "Dirs");
  }

  void CheckKeyName(const Group& group, const SettingsLine& line) {
    const bool values = IsValuesGroup(group.name);
    if (!line.has_equals && !values) {
      Add(true, line,
          JoinTexts({"[", group.name, "] ", Shown(line.name), ": no \"=\", so the program reads the key ",
                     Shown(line.name), " with an empty value"}));
    }
    if (values) return;  // any key: only the values count
    int number = 0;
    const std::vector<std::string>& known = KnownKeys(group.name);
    const bool task = SameSettingsName(group.name, "UserTask") && IsTaskKey(line.name, number);
    const bool is_known = task || std::any_of(known.begin(), known.end(),
                                              [&](const std::string& k) { return SameSettingsName(k, line.name); });
    if (!is_known) {
      const std::string nearest = Nearest(line.name, known);
      Add(false, line,
          JoinTexts({"[", group.name, "] ", Shown(line.name), ": unknown key, never read",
                     nearest.empty() ? "" : " (did you mean ", nearest, nearest.empty() ? "" : "?)"}));
      return;
    }
    const SettingsLine* first = Key(&group, line.name);
    if (first != &line) {
      Add(false, line,
          JoinTexts({"[", group.name, "] ", Shown(line.name), ": given again; the one on line ",
                     DecimalText(first->number), " counts"}));
    }
  }

  const std::vector<std::string>& KnownKeys(const std::string& group) {
    auto found = known_keys_.find(SettingsNameKey(group));
    if (found == known_keys_.end()) found = known_keys_.emplace(SettingsNameKey(group), KeysOfGroup(group)).first;
    return found->second;
  }

  // A key the program reads, as it reads it; where is null when it is absent.
  std::string Read(const char* group_name, const char* key_name, const SettingsLine** where = nullptr) {
    const Group* group = Find(group_name);
    const SettingsLine* key = Key(group, key_name);
    if (where != nullptr) *where = key;
    return key == nullptr ? std::string() : Value(*group, *key);
  }

  void CheckSettings() {
    const Group* settings = Find("Settings");
    if (settings == nullptr) return;  // told with ProgExe
    const SettingsLine* name = nullptr;
    if (TrimBlanks(Read("Settings", "ProgName", &name)).empty()) {
      Add(false, name != nullptr ? name->number : settings->line, 0,
          "[Settings] ProgName: missing or empty, so the window and the running-program warning name no program");
    }
    for (const FlagEffect& flag : kFlagEffects) {
      const SettingsLine* key = Key(settings, flag.key);
      if (key == nullptr || TrimBlanks(key->value).empty()) continue;
      const int32_t number = ParseDecimal(key->value);
      const bool on = EightBitFlag(number);
      if (!IsPlainNumber(key->value)) {
        AtValue(true, *key,
                JoinTexts({"[Settings] ", flag.key, ": ", Shown(key->value), " is no number; the program reads ",
                           DecimalText(number), ", so ", on ? flag.on : flag.off}));
      } else if (number != 0 && !on) {
        AtValue(true, *key,
                JoinTexts({"[Settings] ", flag.key, ": only the low 8 bits of ", DecimalText(number),
                           " count, which are 0, so ", flag.off}));
      }
    }
    // NoDelAll counts only where ProgDir is the folder the program runs
    // from, which a path that is no full path never is.
    const SettingsLine* no_del_all = Key(settings, kSettingsFlags[1]);
    if (no_del_all != nullptr && EightBitFlag(ParseDecimal(no_del_all->value))) {
      const SettingsLine* dir = nullptr;
      const std::string prog_dir = TrimBlanks(Read("Settings", "ProgDir", &dir));
      if (!IsFullPath(prog_dir)) {
        AtValue(true, *no_del_all,
                JoinTexts({"[Settings] NoDelAll: counts only where ProgDir names the installation folder, and ProgDir ",
                           prog_dir.empty() ? "is missing" : "is no full path",
                           ", so delete-all is offered all the same"}));
      }
    }
  }

  // A relative path the program joins to its own directory, and in relative
  // its path below it; false where the program passes the value over.
  bool CheckRelative(const Group& group, const SettingsLine* key, const std::string& value, std::string& relative) {
    relative.clear();
    if (key == nullptr || value.empty()) return true;
    if (!RelativePathBelow(value, relative)) {
      AtValue(true, *key,
              JoinTexts({"[", group.name, "] ", Shown(key->name), ": ", Shown(value),
                         " leads outside the installation or is no path below it, so the program passes it over"}));
    } else if (BeyondPathLimit("C:\\" + relative)) {
      AtValue(true, *key,
              JoinTexts({"[", group.name, "] ", Shown(key->name), ": ", Shown(value),
                         " is 260 characters or more even in a folder as short as C:\\, so the program passes it "
                         "over"}));
    } else {
      return true;
    }
    return false;
  }

  // A full path the program removes as it stands.
  bool CheckFull(const Group& group, const SettingsLine& key, const std::string& path, const char* what) {
    const auto fault = [&](const char* why) {
      AtValue(true, key, JoinTexts({"[", group.name, "] ", Shown(key.name), ": ", Shown(path), why, what}));
    };
    if (!IsFullPath(path)) {
      fault(" is no full path, so no ");
    } else if (BeyondPathLimit(path)) {
      fault(" is 260 characters or more, so no ");
    } else if (path.find_first_of("*?") != std::string::npos) {
      fault(" holds a wildcard, which the program takes as part of a name, so no ");
    } else {
      return true;
    }
    return false;
  }

  void CheckPrograms() {
    const SettingsLine* key = nullptr;
    const Group* settings = Find("Settings");
    std::string value = Read("Settings", "ProgExe", &key);
    std::string relative;
    if (settings != nullptr) CheckRelative(*settings, key, value, relative);
    prog_exe_ = key == nullptr ? std::string() : value;
    prog_exe_key_ = key;
    const SettingsLine* mutex = nullptr;
    if (key != nullptr && !ProcessNameCanMatch(value) && TrimBlanks(Read("Settings", "MutexString", &mutex)).empty()) {
      AtValue(false, *key,
              JoinTexts({"[Settings] ProgExe: ", Shown(value),
                         " names a folder, and without MutexString the running-program check looks for a process "
                         "by its file name alone, so it never finds the program running"}));
    }
    if (const Group* start = Find("StartProg")) {
      for (const char* program : {"BeforeUninst", "AfterUninst"}) {
        value = Read("StartProg", program, &key);
        if (CheckRelative(*start, key, value, relative) && key != nullptr && !value.empty()) {
          hooks_.push_back({key, relative});
        }
      }
    }
    const SettingsLine* icon = nullptr;
    const std::string desktop = TrimBlanks(Read("Settings", "DesktopIcon", &icon));
    if (!desktop.empty()) CheckFull(*settings, *icon, desktop, "link is removed");
    if (const Group* menu = Find("StartMenu")) {
      for (const char* name : kStartMenuKeys) {
        const SettingsLine* link = Key(menu, name);
        const std::string path = link == nullptr ? std::string() : TrimBlanks(Value(*menu, *link));
        if (!path.empty()) CheckFull(*menu, *link, path, "link is removed");
      }
    }
  }

  void CheckTask(const Group& group, const SettingsLine& key) {
    const std::string record = Value(group, key);
    if (record.empty()) return;
    const TaskRecord task = ParseTaskRecord(record);
    const auto fault = [&](const std::string& what) {
      AtValue(true, key, JoinTexts({"[", group.name, "] ", Shown(key.name), ": ", what}));
    };
    switch (task.kind) {
      case TaskKind::RegistryEntry:
        // Without a fourth field the key's default value goes, as meant.
        if (!IsPredefinedRoot(TaskRoot(task))) {
          fault("the registry root is no predefined root, so nothing is changed");
        } else if (task.field3.empty()) {
          fault("a registry record needs a key in its third field");
        }
        break;
      case TaskKind::Library:
        if (task.field3.empty()) {
          fault("a library record needs the library's path in its third field");
        } else if (!LibraryPathIsFull(task)) {
          fault(Shown(task.field3) + " is no full path, so the program passes the library over");
        }
        break;
      case TaskKind::FileAssociation:
        if (task.field2.empty() || task.field3.empty()) {
          fault("an association record needs the extension and the application name in its second and third fields");
        } else if (task.field2[0] == '.') {
          fault("the extension " + Shown(task.field2) +
                " is written with its dot; the program adds one, so it looks "
                "for ." +
                Shown(task.field2) + " and removes nothing of the association");
        }
        break;
      case TaskKind::File: {
        const std::string path = TrimBlanks(task.field2);
        if (!IsFullPath(path)) {
          fault("a file record (any type but 6, 9 and 10) needs a full path in its second field");
        } else {
          CheckFull(group, key, path, "file is removed");
        }
        break;
      }
    }
  }

  void CheckTasks() {
    const Group* tasks = Find("UserTask");
    if (tasks == nullptr) return;
    const SettingsLine* number_key = Key(tasks, "Number");
    const int32_t number = number_key == nullptr ? 0 : ParseDecimal(number_key->value);
    const int count = TaskCount(number);
    const std::string runs = count > 0 ? DecimalText(count) + " tasks run" : std::string("no task runs");
    if (number_key != nullptr && !TrimBlanks(number_key->value).empty() && !IsPlainNumber(number_key->value)) {
      AtValue(true, *number_key,
              JoinTexts({"[", tasks->name, "] Number: ", Shown(number_key->value), " is no number; the program reads ",
                         DecimalText(number), ", so ", runs}));
    } else if (number_key != nullptr && (number < 0 || number > kMostTasks)) {
      AtValue(true, *number_key,
              JoinTexts({"[", tasks->name, "] Number: ", DecimalText(number),
                         " is outside 0 to 127; only its low 8 bits count, so ", runs}));
    }
    std::vector<bool> present(kMostTasks + 1, false);
    for (const SettingsLine* key : tasks->keys) {
      int n = 0;
      if (!IsTaskKey(key->name, n) || key != Key(tasks, key->name)) continue;
      if (n > count) {
        // Not read, so its mistakes wait until Number is mended.
        Add(false, *key,
            JoinTexts({"[", tasks->name, "] ", key->name, ": beyond the ", DecimalText(count > 0 ? count : 0),
                       " tasks Number lets run, so never read"}));
        continue;
      }
      CheckTask(*tasks, *key);
      present[static_cast<size_t>(n)] = true;
    }
    // Each run of missing numbers, once.
    for (int n = 1; n <= count; ++n) {
      if (present[static_cast<size_t>(n)]) continue;
      int last = n;
      while (last < count && !present[static_cast<size_t>(last + 1)]) ++last;
      const std::string missing = last == n ? DecimalText(n) : DecimalText(n) + " to Task" + DecimalText(last);
      Add(false, number_key != nullptr ? number_key->number : tasks->line, 0,
          JoinTexts({"[", tasks->name, "] Task", missing,
                     ": missing, a gap in the numbers up to Number=", DecimalText(count)}));
      n = last;
    }
  }

  void CheckFilesAndDirs() {
    std::vector<std::string> dir_paths, file_paths;
    std::vector<const SettingsLine*> dir_keys;
    std::vector<std::string> dir_values;
    std::unordered_map<std::string, size_t> named_dirs;  // path in capitals -> its first value
    for (const char* group_name : {"Dirs", "Files"}) {
      const Group* group = Find(group_name);
      if (group == nullptr) continue;
      const bool dirs = *group_name == 'D';
      for (const SettingsLine* key : group->keys) {
        const std::string value = Value(*group, *key);
        const bool malformed = told_malformed_[static_cast<size_t>(key - lines_.data())];
        if (malformed && !dirs) {
          file_paths.emplace_back();
          continue;  // reads as empty, which names no file
        }
        std::string relative;
        const bool below = CheckRelative(*group, key, value, relative);
        const std::string path = below ? UpperCase(relative) : std::string();
        if (below && relative.empty()) {
          // A line without "=" is such a value too.
          const std::string shown = malformed       ? std::string("a value read as empty")
                                    : value.empty() ? std::string("an empty value")
                                                    : Shown(value);
          if (dirs) {
            Add(true, *key,
                JoinTexts({"[", group->name, "] ", Shown(key->name), ": ", shown,
                           " names the installation folder itself: delete-all then empties it whole, the user's "
                           "files in it too"}));
          } else {
            Add(true, *key,
                JoinTexts({"[", group->name, "] ", Shown(key->name), ": ", shown,
                           " names the installation folder, no file, so nothing is removed for it"}));
          }
          if (!dirs) {
            file_paths.push_back(path);
            continue;
          }
        }
        if (dirs) {
          const auto twice = path.empty() ? named_dirs.end() : named_dirs.find(path);
          if (twice != named_dirs.end()) {
            Add(false, *key,
                JoinTexts({"[", group->name, "] ", Shown(key->name), ": ", Shown(value), " names the folder of line ",
                           DecimalText(dir_keys[twice->second]->number), " again"}));
          } else if (!path.empty()) {
            named_dirs.emplace(path, dir_paths.size());
          }
          dir_paths.push_back(path);
          dir_keys.push_back(key);
          dir_values.push_back(value);
          continue;
        }
        file_paths.push_back(path);
        const bool folder = !value.empty() && (value.back() == '\\' || value.back() == '/');
        if (folder || (!path.empty() && named_dirs.count(path) != 0)) {
          Add(false, *key,
              JoinTexts({"[", group->name, "] ", Shown(key->name), ": ", Shown(value),
                         " names a folder, which a [Files] value never removes"}));
          continue;
        }
        TellFoldersNoDirsValueNames(*group, *key, relative, path, named_dirs);
      }
    }
    // Ready deletes the hooks, and then the [Dirs] folders they were in.
    if (const Group* start = Find("StartProg")) {
      for (const auto& hook : hooks_) {
        TellFoldersNoDirsValueNames(*start, *hook.first, hook.second, UpperCase(hook.second), named_dirs);
      }
    }
    for (const auto& pair : DirsBeforeOneInside(dir_paths)) {
      Add(false, *dir_keys[pair.first],
          JoinTexts({"[Dirs] ", Shown(dir_keys[pair.first]->name), ": ", Shown(dir_values[pair.first]),
                     " comes before ", Shown(dir_values[pair.second]), " (line ",
                     DecimalText(dir_keys[pair.second]->number),
                     "), which lies inside it, so it is never empty when its turn comes"}));
    }
    // The files step needs the program's file to be there, and deletes
    // nothing without a [Files] value: either way every run fails.
    const Group* settings = Find("Settings");
    const int settings_line = settings != nullptr ? settings->line : 1;
    if (TrimBlanks(prog_exe_).empty()) {
      Add(true, prog_exe_key_ != nullptr ? prog_exe_key_->number : settings_line, 0,
          settings == nullptr
              ? "no [Settings] section, so there is no ProgExe: no run finds the program's file and every uninstall "
                "fails (exit code 1603 unattended)"
              : "[Settings] ProgExe: missing or empty, so no run finds the program's file and every uninstall fails "
                "(exit code 1603 unattended)");
    }
    if (Find("Files") == nullptr) {
      Add(true, settings_line, 0,
          "no [Files] section, so a run deletes no listed file and every uninstall fails (exit code 1603 "
          "unattended)");
    }
    const bool told_failing = TrimBlanks(prog_exe_).empty() || Find("Files") == nullptr;
    if (prog_exe_key_ != nullptr && !told_failing && !FilesNameTheProgram(file_paths, prog_exe_)) {
      AtValue(false, *prog_exe_key_,
              JoinTexts(
                  {"[Settings] ProgExe: no [Files] value names ", Shown(prog_exe_), ", so the program's file stays"}));
    }
  }

  // Each folder a value lies in, up to the installation's, that no [Dirs]
  // value names, once: it stays, and the installation's folder with it.
  // path: relative in capitals.
  void TellFoldersNoDirsValueNames(const Group& group, const SettingsLine& key, const std::string& relative,
                                   const std::string& path, const std::unordered_map<std::string, size_t>& named_dirs) {
    // Capitals may take more or fewer bytes: the folder is shown as written,
    // up to its backslash of the same number.
    for (size_t slash = path.find('\\'), written = relative.find('\\'); slash != std::string::npos;
         slash = path.find('\\', slash + 1), written = relative.find('\\', written + 1)) {
      const std::string folder = path.substr(0, slash);
      if (named_dirs.count(folder) != 0 || !unnamed_told_.insert(folder).second) continue;
      Add(false, key,
          JoinTexts({"[", group.name, "] ", Shown(key.name), ": no [Dirs] value names its folder ",
                     Shown(relative.substr(0, written)), ", so the folder stays, and the installation's with it"}));
    }
  }

  void CheckLanguage() {
    const Group* language = Find("Language");
    if (language == nullptr) return;
    // The forms of a count that the texts' language ever takes.
    const SettingsLine* plural_key = Key(language, "Plural");
    const std::string plural = plural_key != nullptr ? Value(*language, *plural_key) : "en";
    bool taken[6] = {};
    for (uint32_t n = 0; n <= 1000; ++n) taken[static_cast<size_t>(PluralFormOf(plural, n))] = true;
    const UiTexts defaults;
    for (size_t i = 0; i < static_cast<size_t>(UiText::kCount); ++i) {
      const SettingsLine* key = Key(language, LanguageKey(static_cast<UiText>(i)));
      if (key == nullptr || !key->has_equals) continue;
      const bool extra_form = defaults[static_cast<UiText>(i)].empty();  // empty: the other form
      const std::string value = Value(*language, *key);
      if (value.empty() && !extra_form && CheckUtf8(key->value) == Utf8Form::kWellFormed) {
        Add(false, *key,
            JoinTexts({"[", language->name, "] ", key->name,
                       ": an empty text, so the window shows none "
                       "in its place"}));
      }
      const PluralForm form = FormOfText(static_cast<UiText>(i));
      if (!value.empty() && form != PluralForm::kOther && !taken[static_cast<size_t>(form)]) {
        Add(false, *key,
            JoinTexts({"[", language->name, "] ", key->name, ": counts in the language of Plural (", plural,
                       ") never take this form, so the text is never shown"}));
      }
    }
  }

  const std::string& bytes_;
  FileReader& files_;
  bool utf8_ = false;
  bool utf16_ = false;
  std::string text_;  // the program's text, or the UTF-8 after the signature
  std::vector<SettingsLine> lines_;
  std::vector<bool> told_malformed_;  // by line
  std::vector<Group> groups_;
  std::unordered_map<std::string, size_t> first_group_;  // by SettingsNameKey
  std::unordered_map<std::string, std::vector<std::string>> known_keys_;
  std::unordered_set<std::string> unnamed_told_;                    // folders without a [Dirs] value, told
  std::vector<std::pair<const SettingsLine*, std::string>> hooks_;  // and their paths below the own directory
  std::vector<AuthorFinding> findings_;
  std::string prog_exe_;
  const SettingsLine* prog_exe_key_ = nullptr;
};

}  // namespace

std::vector<AuthorFinding> CheckSettingsFile(const std::string& bytes, FileReader& files) {
  return Checker(bytes, files).Run();
}

std::vector<CheckedValue> ValuesAsChecked(const std::string& bytes, FileReader& files) {
  return Checker(bytes, files).Values();
}
