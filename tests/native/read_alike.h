// Whether the author's checker reads a file as the program's own reader
// does: every key the program reads, found or not and with the same text,
// and the values of [Files] and [Dirs] in the same order. For the native
// tests and the checker's fuzz target.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "checker/author_notes.h"
#include "settings/settings_file.h"

// Empty where both read alike; otherwise the first value read apart.
inline std::string FirstValueReadApart(const std::string& bytes, FileReader& files, const std::string& path) {
  SettingsFile file;
  file.Open(files, path);
  std::map<std::string, std::vector<std::string>> listed = {{"Files", {}}, {"Dirs", {}}};
  for (const CheckedValue& checked : ValuesAsChecked(bytes, files)) {
    if (checked.key.empty()) {
      listed[checked.group].push_back(checked.value);
      continue;
    }
    file.SelectGroup(checked.group);
    // Absent when neither of two defaults is overridden.
    const bool found = file.ReadString(checked.key, "a") != "a" || file.ReadString(checked.key, "b") != "b";
    if (found != checked.found || (found && file.ReadString(checked.key) != checked.value)) {
      return "[" + checked.group + "] " + checked.key;
    }
  }
  for (const auto& group : listed) {
    if (GroupValues(files, path, group.first) != group.second) return "[" + group.first + "] values";
  }
  return {};
}
