#include "driver/author_notes.h"

#include <algorithm>
#include <iterator>

#include "driver/removal_steps.h"
#include "driver/user_tasks.h"
#include "removal/file_removal.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/text.h"

namespace {

constexpr const char* kSettingsKeys[] = {"ProgName", "Version", "MutexString", "ProgExe",     "ProgDir",    "StartMenu",
                                         "GUID",     "Script",  "NoDelAll",    "DesktopIcon", "LoginAdmin", "ProgLink"};
constexpr const char* kStartProgKeys[] = {"BeforeUninst", "BeforeParam", "AfterUninst", "AfterParam"};
constexpr const char* kUserTaskKeys[] = {"Number"};
constexpr const char* kGroups[] = {"Settings", "StartProg", "StartMenu", "UserTask", "Language", "Files", "Dirs"};
constexpr int kMostTasks = 127;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The edits that make one name the other, letters of either case alike.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// A known name close enough to be the one meant; empty when none is.
std::string Nearest(const std::string& name, const std::vector<std::string>& known) {
  std::string best;
  size_t best_distance = 3;
  for (const std::string& candidate : known) {
    const size_t distance = Distance(name, candidate);
    if (distance < best_distance && distance < candidate.size()) best = candidate, best_distance = distance;
  }
  return best;
}

bool IsFullPath(const std::string& path) {
  const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  return drive || path.compare(0, 2, "\\\\") == 0;
}

bool IsTaskKey(const std::string& name, int& number) {
  if (name.size() < 5 || !SameName(name.substr(0, 4), "Task") || name[4] == '0') return false;
  for (size_t i = 4; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || i > 8) return false;
  }
  number = ParseDecimal(name.substr(4));
  return true;
}

class Checker {
 public:
  Checker(const std::string& bytes, FileReader& files) : files_(files) {
    utf8_ = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    text_ = utf8_ ? bytes.substr(3) : files.LegacyText(bytes);
    lines_ = SettingsLines(text_);
    told_malformed_.assign(lines_.size(), false);
  }

  std::vector<AuthorFinding> Run() {
    ReadGroups();
    for (const char* group : {"Settings", "StartProg", "Language"}) DecodeEachKey(group);
    CheckSettings();
    CheckPrograms();
    CheckTasks();
    CheckFilesAndDirs();
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const AuthorFinding& a, const AuthorFinding& b) { return a.line < b.line; });
    return findings_;
  }

 private:
  struct Group {
    std::string name;
    int line;
    std::vector<const SettingsLine*> keys;
  };

  void Add(bool error, int line, const std::string& text) { findings_.push_back({error, line, text}); }

  // The value as the program reads it; a malformed one is told (once for
  // its line, however often it is read), and read as empty.
  std::string Value(const std::string& group, const SettingsLine& key) {
    if (!utf8_) return key.value;
    size_t well_formed = 0;
    std::string text;
    if (CheckUtf8(key.value, &well_formed) == Utf8Form::kMalformed ||
        !files_.Utf8Text(key.value.substr(0, well_formed), text)) {
      const size_t line = static_cast<size_t>(&key - lines_.data());
      if (!told_malformed_[line]) {
        Add(true, key.number,
            JoinTexts({"[", group, "] ", key.name, ": malformed UTF-8, so the value reads as empty"}));
      }
      told_malformed_[line] = true;
      return std::string();
    }
    return text;
  }

  // Each key a lookup finds, read once, which tells the malformed ones.
  void DecodeEachKey(const char* group_name) {
    const Group* group = Find(group_name);
    if (group == nullptr) return;
    for (const SettingsLine* key : group->keys) {
      if (key == Key(group, key->name)) Value(group->name, *key);
    }
  }

  // The first group of that name, as the reader selects it.
  const Group* Find(const char* name) const {
    for (const Group& group : groups_) {
      if (SameName(group.name, name)) return &group;
    }
    return nullptr;
  }

  // The first key of that name, as a lookup finds it.
  const SettingsLine* Key(const Group* group, const std::string& name) const {
    if (group == nullptr) return nullptr;
    for (const SettingsLine* key : group->keys) {
      if (SameName(key->name, name)) return key;
    }
    return nullptr;
  }

  static std::vector<std::string> KnownKeys(const std::string& group) {
    std::vector<std::string> keys;
    const auto add = [&](const char* const* first, const char* const* end) { keys.insert(keys.end(), first, end); };
    if (SameName(group, "Settings")) add(std::begin(kSettingsKeys), std::end(kSettingsKeys));
    if (SameName(group, "StartProg")) add(std::begin(kStartProgKeys), std::end(kStartProgKeys));
    if (SameName(group, "StartMenu")) add(std::begin(kStartMenuKeys), std::end(kStartMenuKeys));
    if (SameName(group, "UserTask")) add(std::begin(kUserTaskKeys), std::end(kUserTaskKeys));
    if (SameName(group, "Language")) {
      for (size_t i = 0; i < static_cast<size_t>(UiText::kCount); ++i)
        keys.push_back(LanguageKey(static_cast<UiText>(i)));
    }
    return keys;
  }

  void ReadGroups() {
    const std::vector<std::string> known_groups(std::begin(kGroups), std::end(kGroups));
    Group* current = nullptr;
    bool current_read = false;
    for (const SettingsLine& line : lines_) {
      if (line.kind == SettingsLine::kComment) continue;
      if (line.kind == SettingsLine::kGroup) {
        const bool known = std::any_of(known_groups.begin(), known_groups.end(),
                                       [&](const std::string& g) { return SameName(g, line.name); });
        // Only the line of an earlier one is kept: the push below may move the groups.
        const Group* earlier = Find(line.name.c_str());
        const int earlier_line = earlier != nullptr ? earlier->line : 0;
        groups_.push_back({line.name, line.number, {}});
        current = &groups_.back();
        current_read = known && earlier == nullptr;
        if (!known) {
          const std::string nearest = Nearest(line.name, known_groups);
          Add(false, line.number,
              JoinTexts({"[", line.name, "]: unknown section, never read", nearest.empty() ? "" : " (did you mean [",
                         nearest, nearest.empty() ? "" : "]?)"}));
        } else if (earlier_line != 0) {
          Add(false, line.number,
              JoinTexts({"[", line.name, "]: given again; only the one on line ", DecimalText(earlier_line), " is read"}));
        }
        continue;
      }
      if (current == nullptr) {
        Add(false, line.number, JoinTexts({line.name, ": before any section, never read"}));
        continue;
      }
      current->keys.push_back(&line);
      if (current_read) CheckKeyName(*current, line);
    }
  }

  void CheckKeyName(const Group& group, const SettingsLine& line) {
    if (SameName(group.name, "Files") || SameName(group.name, "Dirs")) return;  // any key: only the values count
    int number = 0;
    const std::vector<std::string> known = KnownKeys(group.name);
    const bool task = SameName(group.name, "UserTask") && IsTaskKey(line.name, number);
    const bool is_known =
        task || std::any_of(known.begin(), known.end(), [&](const std::string& k) { return SameName(k, line.name); });
    if (!is_known) {
      const std::string nearest = Nearest(line.name, known);
      Add(false, line.number,
          JoinTexts({"[", group.name, "] ", line.name, ": unknown key, never read",
                     nearest.empty() ? "" : " (did you mean ", nearest, nearest.empty() ? "" : "?)"}));
      return;
    }
    const SettingsLine* first = Key(&group, line.name);
    if (first != &line) {
      Add(false, line.number,
          JoinTexts({"[", group.name, "] ", line.name, ": given again; the one on line ", DecimalText(first->number),
                     " counts"}));
    }
  }

  // Every value of a read group, decoded once, which tells malformed ones.
  std::string Read(const char* group_name, const char* key_name, const SettingsLine** where = nullptr) {
    const Group* group = Find(group_name);
    const SettingsLine* key = Key(group, key_name);
    if (where != nullptr) *where = key;
    return key == nullptr ? std::string() : Value(group->name, *key);
  }

  void CheckSettings() {
    const Group* settings = Find("Settings");
    if (settings == nullptr) {
      Add(true, 1, "[Settings]: missing, so the program has no name, no program file and no registration");
      return;
    }
    const SettingsLine* name = Key(settings, "ProgName");
    if (name == nullptr || TrimBlanks(Value(settings->name, *name)).empty()) {
      Add(true, name != nullptr ? name->number : settings->line,
          "[Settings] ProgName: missing, so the window and the list of programs show no name");
    }
  }

  void CheckRelative(const std::string& group, const SettingsLine* key, const std::string& value) {
    std::string relative;
    if (key == nullptr || value.empty() || RelativePathBelow(value, relative)) return;
    Add(true, key->number,
        JoinTexts({"[", group, "] ", key->name, ": ", value,
                   " leads outside the installation or is no path below it, so the program passes it over"}));
  }

  void CheckPrograms() {
    const SettingsLine* key = nullptr;
    std::string value = Read("Settings", "ProgExe", &key);
    CheckRelative("Settings", key, value);
    prog_exe_ = key == nullptr ? std::string() : value;
    prog_exe_key_ = key;
    for (const char* program : {"BeforeUninst", "AfterUninst"}) {
      value = Read("StartProg", program, &key);
      CheckRelative("StartProg", key, value);
    }
    if (const Group* menu = Find("StartMenu")) {
      for (const SettingsLine* link : menu->keys) {
        if (link != Key(menu, link->name)) continue;
        const std::string path = TrimBlanks(Value(menu->name, *link));
        if (!path.empty() && !IsFullPath(path)) {
          Add(true, link->number,
              JoinTexts({"[", menu->name, "] ", link->name, ": ", path, " is no full path, so no link is removed"}));
        }
      }
    }
  }

  void CheckTask(const Group& group, const SettingsLine& key) {
    const std::string record = Value(group.name, key);
    if (record.empty()) return;
    const TaskRecord task = ParseTaskRecord(record);
    const auto fault = [&](const char* what) {
      Add(true, key.number, JoinTexts({"[", group.name, "] ", key.name, ": ", what}));
    };
    switch (task.kind) {
      case TaskKind::RegistryEntry:
        if (!IsPredefinedRoot(TaskRoot(task))) {
          fault("the registry root is no predefined root, so nothing is changed");
        } else if (task.field3.empty()) {
          fault("a registry record needs a key in its third field");
        } else if (std::count(record.begin(), record.end(), '|') < 3) {
          fault("a registry record needs a value name in its fourth field (an empty one names the default value)");
        }
        break;
      case TaskKind::Library:
        if (task.field3.empty()) fault("a library record needs the library's path in its third field");
        break;
      case TaskKind::FileAssociation:
        if (task.field2.empty() || task.field3.empty()) {
          fault("an association record needs the extension and the application name in its second and third fields");
        }
        break;
      case TaskKind::File:
        if (!IsFullPath(TrimBlanks(task.field2))) {
          fault("a file record (any type but 6, 9 and 10) needs a full path in its second field");
        }
        break;
    }
  }

  void CheckTasks() {
    const Group* tasks = Find("UserTask");
    if (tasks == nullptr) return;
    const SettingsLine* number_key = Key(tasks, "Number");
    const int32_t number = number_key == nullptr ? 0 : ParseDecimal(number_key->value);
    const int count = TaskCount(number);
    if (number_key != nullptr && (number < 0 || number > kMostTasks)) {
      Add(true, number_key->number,
          JoinTexts({"[", tasks->name, "] Number: ", DecimalText(number),
                     " is outside 0 to 127; only its low 8 bits count, so ",
                     count > 0 ? DecimalText(count) + " tasks run" : std::string("no task runs")}));
    }
    std::vector<bool> present(kMostTasks + 1, false);
    for (const SettingsLine* key : tasks->keys) {
      int n = 0;
      if (!IsTaskKey(key->name, n) || key != Key(tasks, key->name)) continue;
      // A record beyond the count is checked too: it is read once Number is mended.
      CheckTask(*tasks, *key);
      if (n > count) {
        Add(false, key->number,
            JoinTexts({"[", tasks->name, "] ", key->name, ": beyond the ", DecimalText(count > 0 ? count : 0),
                       " tasks Number lets run, so never read"}));
        continue;
      }
      present[static_cast<size_t>(n)] = true;
    }
    // Each run of missing numbers, once.
    for (int n = 1; n <= count; ++n) {
      if (present[static_cast<size_t>(n)]) continue;
      int last = n;
      while (last < count && !present[static_cast<size_t>(last + 1)]) ++last;
      const std::string run = last == n ? DecimalText(n) : DecimalText(n) + " to Task" + DecimalText(last);
      Add(false, number_key != nullptr ? number_key->number : tasks->line,
          JoinTexts(
              {"[", tasks->name, "] Task", run, ": missing, a gap in the numbers up to Number=", DecimalText(count)}));
      n = last;
    }
  }

  void CheckFilesAndDirs() {
    std::vector<std::string> dir_paths, file_paths;
    std::vector<const SettingsLine*> dir_keys;
    std::vector<std::string> dir_values;
    for (const char* group_name : {"Dirs", "Files"}) {
      const Group* group = Find(group_name);
      if (group == nullptr) continue;
      const bool dirs = *group_name == 'D';
      for (const SettingsLine* key : group->keys) {
        const std::string value = Value(group->name, *key);
        CheckRelative(group->name, key, value);
        std::string relative;
        const bool below = RelativePathBelow(value, relative);
        const std::string path = below ? UpperCase(relative) : std::string();
        if (dirs && below && relative.empty()) {
          // A line without "=" is such a value too.
          Add(true, key->number,
              JoinTexts({"[", group->name, "] ", key->name, ": ", value.empty() ? "an empty value" : value,
                         " names the installation folder itself: delete-all then empties it whole, the user's files "
                         "in it too"}));
        }
        if (dirs) {
          const auto twice = std::find(dir_paths.begin(), dir_paths.end(), path);
          if (!path.empty() && twice != dir_paths.end()) {
            Add(false, key->number,
                JoinTexts({"[", group->name, "] ", key->name, ": ", value, " names the folder of line ",
                           DecimalText(dir_keys[static_cast<size_t>(twice - dir_paths.begin())]->number), " again"}));
          }
          dir_paths.push_back(path);
          dir_keys.push_back(key);
          dir_values.push_back(value);
        } else {
          file_paths.push_back(path);
          const bool folder = !value.empty() && (value.back() == '\\' || value.back() == '/');
          if (folder || (!path.empty() && std::find(dir_paths.begin(), dir_paths.end(), path) != dir_paths.end())) {
            Add(false, key->number,
                JoinTexts({"[", group->name, "] ", key->name, ": ", value,
                           " names a folder, which a [Files] value never removes"}));
          }
        }
      }
    }
    for (const auto& pair : DirsBeforeOneInside(dir_paths)) {
      Add(false, dir_keys[pair.first]->number,
          JoinTexts({"[Dirs] ", dir_keys[pair.first]->name, ": ", dir_values[pair.first], " comes before ",
                     dir_values[pair.second], " (line ", DecimalText(dir_keys[pair.second]->number),
                     "), which lies inside it, so it is never empty when its turn comes"}));
    }
    // The files step needs the program's file to be there, and deletes
    // nothing without a [Files] value: either way every run fails.
    const Group* settings = Find("Settings");
    const int settings_line = settings != nullptr ? settings->line : 1;
    if (TrimBlanks(prog_exe_).empty()) {
      Add(true, prog_exe_key_ != nullptr ? prog_exe_key_->number : settings_line,
          "[Settings] ProgExe: missing or empty, so no run finds the program's file and every uninstall fails "
          "(exit code 1603 unattended)");
    }
    if (Find("Files") == nullptr) {
      Add(true, settings_line,
          "no [Files] section, so a run deletes no listed file and every uninstall fails (exit code 1603 "
          "unattended)");
    }
    const bool told_failing = TrimBlanks(prog_exe_).empty() || Find("Files") == nullptr;
    if (prog_exe_key_ != nullptr && !told_failing && !FilesNameTheProgram(file_paths, prog_exe_)) {
      Add(false, prog_exe_key_->number,
          JoinTexts({"[Settings] ProgExe: no [Files] value names ", prog_exe_, ", so the program's file stays"}));
    }
  }

  FileReader& files_;
  bool utf8_ = false;
  std::string text_;  // the program's text, or the UTF-8 after the signature
  std::vector<SettingsLine> lines_;
  std::vector<bool> told_malformed_;  // by line
  std::vector<Group> groups_;
  std::vector<AuthorFinding> findings_;
  std::string prog_exe_;
  const SettingsLine* prog_exe_key_ = nullptr;
};

}  // namespace

std::vector<std::pair<size_t, size_t>> DirsBeforeOneInside(const std::vector<std::string>& paths) {
  std::vector<std::pair<size_t, size_t>> pairs;
  for (size_t j = 0; j < paths.size(); ++j) {
    for (size_t i = 0; i < j; ++i) {
      const std::string& outer = paths[i];
      if (!outer.empty() && paths[j].size() > outer.size() && paths[j].compare(0, outer.size(), outer) == 0 &&
          paths[j][outer.size()] == '\\') {
        pairs.emplace_back(i, j);
      }
    }
  }
  return pairs;
}

bool FilesNameTheProgram(const std::vector<std::string>& paths, const std::string& prog_exe) {
  std::string program;
  if (!RelativePathBelow(prog_exe, program)) return false;
  return std::find(paths.begin(), paths.end(), UpperCase(program)) != paths.end();
}

std::vector<AuthorFinding> CheckSettingsFile(const std::string& bytes, FileReader& files) {
  return Checker(bytes, files).Run();
}
