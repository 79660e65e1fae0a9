#include "removal/file_removal.h"

#include <algorithm>

#include "driver/settings_file.h"
#include "ui/confirmation_layout.h"

namespace {

bool ProgramExecutablePresent(const UninstallSettings& settings, RunPlatform& platform) {
  return platform.FileExists(settings.own_directory + settings.prog_exe);
}

}  // namespace

bool LeavesTheDirectory(const std::string& relative) {
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find_first_of("\\/", start);
    if (end == std::string::npos) end = relative.size();
    const std::string part = relative.substr(start, end - start);
    // The platform drops trailing dots and blanks from names, so "..." and
    // ". ." may mean ".." as well: any name of only dots and blanks with two
    // dots or more counts.
    const bool only_dots_and_blanks = part.find_first_not_of(". ") == std::string::npos;
    if (only_dots_and_blanks && std::count(part.begin(), part.end(), '.') >= 2) return true;
    start = end + 1;
  }
  return false;
}

bool RemoveListedFiles(const UninstallSettings& settings, RunPlatform& platform) {
  if (!ProgramExecutablePresent(settings, platform)) return false;
  const std::string& own = settings.own_directory;
  bool deleted_any = false;
  SettingsFile file;
  file.Open(settings.settings_path);
  if (file.SelectGroup("Files") && file.ExamineKeys()) {
    while (file.NextKey()) {
      const std::string path = own + file.KeyValue();
      if (platform.DeletePlainFile(path)) {
        platform.ShowStatus(StatusText(path));
        deleted_any = true;
      }
    }
  }
  if (file.SelectGroup("Dirs") && file.ExamineKeys()) {
    while (file.NextKey()) {
      const std::string directory = own + file.KeyValue();
      if (!platform.IsDirectoryEmpty(directory)) continue;
      platform.ShowStatus(StatusText(directory + kAllEntries));
      platform.PurgeDirectory(directory, kAllEntries, false, false);
    }
  }
  file.Close();
  return deleted_any;
}

bool RemoveAllFiles(const UninstallSettings& settings, RunPlatform& platform) {
  if (!ProgramExecutablePresent(settings, platform)) return false;
  const std::string& own = settings.own_directory;
  SettingsFile file;
  file.Open(settings.settings_path);
  if (file.SelectGroup("Dirs") && file.ExamineKeys()) {
    while (file.NextKey()) {
      const std::string value = file.KeyValue();
      if (LeavesTheDirectory(value)) continue;
      const std::string directory = own + value;
      platform.ShowStatus(StatusText(directory + kAllEntries));
      platform.PurgeDirectory(directory, kAllEntries, true, true);
    }
  }
  // Closed first, so that uninstall.dat goes with the other files.
  file.Close();
  platform.ShowStatus(StatusText(own + kAllEntries));
  platform.PurgeDirectory(own, kAllEntries, false, true);
  return true;
}
