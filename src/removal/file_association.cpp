#include "removal/file_association.h"

#include <algorithm>
#include <iterator>

#include "text/text.h"

namespace {

// One step, its key built as prefix + the extension or the application name + suffix.
struct StepPattern {
  bool value;
  bool of_application;
  // The class it names while it is this program's: none, the application's
  // own, or the extension's with "_auto_file".
  uint8_t names;
  RegistryRoot root;
  const char* prefix;
  const char* suffix;
  const char* value_name;
};

constexpr char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";

constexpr StepPattern kApplicationSet[] = {
    {true, true, 0, kClassesRoot, "Applications\\", "\\shell\\open\\command", ""},
    {false, true, 0, kClassesRoot, "Applications\\", "\\shell\\open\\command", ""},
    {false, true, 0, kClassesRoot, "Applications\\", "\\shell\\open", ""},
    {false, true, 0, kClassesRoot, "Applications\\", "\\shell", ""},
    {false, true, 0, kClassesRoot, "Applications\\", "", ""},
    {true, false, 0, kClassesRoot, "", "_auto_file\\shell\\open\\command", ""},
    {false, false, 0, kClassesRoot, "", "_auto_file\\shell\\open\\command", ""},
    {false, false, 0, kClassesRoot, "", "_auto_file\\shell\\open", ""},
    {false, false, 0, kClassesRoot, "", "_auto_file\\shell", ""},
    {true, false, 0, kClassesRoot, "", "_auto_file\\DefaultIcon", ""},
    {false, false, 0, kClassesRoot, "", "_auto_file\\DefaultIcon", ""},
    {true, false, 0, kClassesRoot, "", "_auto_file", ""},
    {false, false, 0, kClassesRoot, "", "_auto_file", ""},
    {true, false, 2, kClassesRoot, ".", "", ""},
    {false, false, 0, kClassesRoot, ".", "", ""},
    {true, false, 0, kCurrentUser, kFileExts, "", "Application"},
    {false, false, 0, kCurrentUser, kFileExts, "", ""},
};

constexpr StepPattern kClassesSet[] = {
    {true, false, 1, kLocalMachine, "Software\\Classes\\.", "", ""},
    {false, false, 0, kLocalMachine, "Software\\Classes\\.", "", ""},
    {true, true, 0, kLocalMachine, "Software\\Classes\\", "\\DefaultIcon", ""},
    {false, true, 0, kLocalMachine, "Software\\Classes\\", "\\DefaultIcon", ""},
    {true, true, 0, kLocalMachine, "Software\\Classes\\", "\\shell\\open\\command", ""},
    {false, true, 0, kLocalMachine, "Software\\Classes\\", "\\shell\\open\\command", ""},
    {false, true, 0, kLocalMachine, "Software\\Classes\\", "\\shell\\open", ""},
    {false, true, 0, kLocalMachine, "Software\\Classes\\", "\\shell", ""},
    {true, true, 0, kLocalMachine, "Software\\Classes\\", "", ""},
    {false, true, 0, kLocalMachine, "Software\\Classes\\", "", ""},
};

std::vector<RegistryStep> Steps(const StepPattern* first, const StepPattern* end, const std::string& ext,
                                const std::string& app) {
  std::vector<RegistryStep> steps;
  for (const StepPattern* p = first; p != end; ++p) {
    // The extension's class: the application's own, or the one named after the extension.
    const std::string names = p->names == 0 ? std::string() : p->names == 1 ? app : ext + "_auto_file";
    steps.push_back({p->value, p->root, p->prefix + (p->of_application ? app : ext) + p->suffix, p->value_name, names});
  }
  return steps;
}

}  // namespace

std::string AutoFileClass(const std::string& extension) { return extension + "_auto_file"; }

std::string IconFile(const std::string& value) {
  const std::string text = TrimBlanks(value);
  if (!text.empty() && text[0] == '"') {
    const size_t end = text.find('"', 1);
    return text.substr(1, end == std::string::npos ? end : end - 1);
  }
  // The index after the last comma, where one follows: "0", "-3".
  const size_t comma = text.rfind(',');
  if (comma == std::string::npos) return text;
  const std::string index = TrimBlanks(text.substr(comma + 1));
  const size_t first = !index.empty() && index[0] == '-' ? 1 : 0;
  const bool number =
      index.size() > first && index.find_first_not_of("0123456789", first) == std::string::npos;
  return number ? TrimBlanks(text.substr(0, comma)) : text;
}

std::vector<RegistryStep> FileAssociationSteps(const std::string& extension, const std::string& application,
                                               uint32_t version_word) {
  if (extension.empty() || application.empty()) return {};
  if ((version_word & 0x00FF0000u) != 0) {
    return Steps(std::begin(kApplicationSet), std::end(kApplicationSet), extension, application);
  }
  return Steps(std::begin(kClassesSet), std::end(kClassesSet), extension, application);
}
