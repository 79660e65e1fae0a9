#include "removal/file_association.h"

#include <iterator>

namespace {

// One step, its key built as prefix + the extension or the application name + suffix.
struct StepPattern {
  bool value;
  RegistryRoot root;
  const char* prefix;
  bool of_application;
  const char* suffix;
  const char* value_name;
};

constexpr char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";

constexpr StepPattern kApplicationSet[] = {
    {true, kClassesRoot, "Applications\\", true, "\\shell\\open\\command", ""},
    {false, kClassesRoot, "Applications\\", true, "\\shell\\open\\command", ""},
    {false, kClassesRoot, "Applications\\", true, "\\shell\\open", ""},
    {false, kClassesRoot, "Applications\\", true, "\\shell", ""},
    {false, kClassesRoot, "Applications\\", true, "", ""},
    {true, kClassesRoot, "", false, "_auto_file\\DefaultIcon", ""},
    {false, kClassesRoot, "", false, "_auto_file\\DefaultIcon", ""},
    {true, kClassesRoot, "", false, "_auto_file", ""},
    {false, kClassesRoot, "", false, "_auto_file", ""},
    {true, kClassesRoot, ".", false, "", ""},
    {false, kClassesRoot, ".", false, "", ""},
    {true, kCurrentUser, kFileExts, false, "", "Application"},
    {false, kCurrentUser, kFileExts, false, "", ""},
};

constexpr StepPattern kClassesSet[] = {
    {true, kLocalMachine, "Software\\Classes\\.", false, "", ""},
    {false, kLocalMachine, "Software\\Classes\\.", false, "", ""},
    {true, kLocalMachine, "Software\\Classes\\", true, "\\DefaultIcon", ""},
    {false, kLocalMachine, "Software\\Classes\\", true, "\\DefaultIcon", ""},
    {true, kLocalMachine, "Software\\Classes\\", true, "\\shell\\open\\command", ""},
    {false, kLocalMachine, "Software\\Classes\\", true, "\\shell\\open\\command", ""},
    {false, kLocalMachine, "Software\\Classes\\", true, "\\shell\\open", ""},
    {false, kLocalMachine, "Software\\Classes\\", true, "\\shell", ""},
    {true, kLocalMachine, "Software\\Classes\\", true, "", ""},
    {false, kLocalMachine, "Software\\Classes\\", true, "", ""},
};

std::vector<RegistryStep> Steps(const StepPattern* first, const StepPattern* end, const std::string& ext,
                                const std::string& app) {
  std::vector<RegistryStep> steps;
  for (const StepPattern* p = first; p != end; ++p) {
    steps.push_back({p->value, p->root, p->prefix + (p->of_application ? app : ext) + p->suffix, p->value_name});
  }
  return steps;
}

}  // namespace

std::vector<RegistryStep> FileAssociationSteps(const std::string& extension, const std::string& application,
                                               uint32_t version_word) {
  if (extension.empty() || application.empty()) return {};
  if ((version_word & 0x00FF0000u) != 0) {
    return Steps(std::begin(kApplicationSet), std::end(kApplicationSet), extension, application);
  }
  return Steps(std::begin(kClassesSet), std::end(kClassesSet), extension, application);
}
