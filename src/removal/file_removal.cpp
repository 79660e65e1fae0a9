#include "removal/file_removal.h"

#include <cstring>

#include "settings/settings_file.h"
#include "text/text.h"

namespace {

bool ProgramExecutablePresent(const UninstallSettings& settings, RunPlatform& platform) {
  const std::string program = settings.own_directory + settings.prog_exe;
  if (platform.FileExists(program)) return true;
  platform.Log(JoinTexts({"remove files: skipped, the program's file is missing: ", program}));
  return false;
}

// One [Dirs] tree of delete-all, decided part by part below the own directory.
void PurgeListedTree(const std::string& own, const std::string& value, const std::string& program,
                     RunPlatform& platform) {
  std::vector<std::string> parts;
  if (!DirectoryPartsBelow(value, parts)) return;
  std::string directory = own;
  bool link = false;
  for (const std::string& part : parts) {
    // Beyond a link lies what it points to, which is not the installation's.
    if (link) return;
    directory += part;
    link = platform.IsDirectoryLink(directory);
    directory += '\\';
  }
  platform.ShowStatus(StatusText(own + value + kAllEntries));
  if (!link) {
    platform.PurgeDirectory(directory, kAllEntries, true, true, {&program});
    return;
  }
  directory.pop_back();
  platform.RemoveDirectoryLink(directory);
}

// Backslashes only, one at the end, letters in one case: paths as the
// platform compares them.
std::string ComparablePath(const std::string& path) {
  return UpperCase(WithTrailingBackslash(ReplaceAll(path, "/", "\\")));
}

// The same path for the platform: letters in either case, either separator.
// Compared in place: it is asked once for every listed file.
bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] == '/' ? '\\' : a[i];
    const char y = b[i] == '/' ? '\\' : b[i];
    if (UpperCaseByte(x) != UpperCaseByte(y)) return false;
  }
  return true;
}

// "\\server\share\": no more than two names after the leading backslashes.
bool IsShareRoot(const std::string& path) {
  if (path.compare(0, 2, "\\\\") != 0) return false;
  const size_t server_end = path.find('\\', 2);
  if (server_end == std::string::npos) return true;
  const size_t share_end = path.find('\\', server_end + 1);
  return share_end == std::string::npos || share_end + 1 == path.size();
}

// A listed file, announced once it is gone.
bool DeleteListedFile(const std::string& path, RunPlatform& platform) {
  if (!platform.DeletePlainFile(path)) return false;
  platform.ShowStatus(StatusText(path));
  return true;
}

}  // namespace

bool IsEmptyOrLogSkip(const std::string& directory, RunPlatform& platform) {
  if (platform.IsDirectoryEmpty(directory)) return true;
  platform.Log(JoinTexts({"remove directory ", directory, ": skipped, not empty or absent"}));
  return false;
}

bool IsDriveRoot(const std::string& directory) {
  return RightBytes(directory, 2) == ":\\" || RightBytes(directory, 1) == ":";
}

bool DeleteAllWouldHarm(const std::string& own_directory, const std::vector<std::string>& shell_folders) {
  const std::string own = ComparablePath(own_directory);
  if (IsDriveRoot(own) || IsShareRoot(own)) return true;
  for (const std::string& folder : shell_folders) {
    if (!folder.empty() && ComparablePath(folder).compare(0, own.size(), own) == 0) return true;
  }
  return false;
}

bool DirectoryPartsBelow(const std::string& value, std::vector<std::string>& parts) {
  parts.clear();
  std::string part;
  for (size_t i = 0; i <= value.size(); ++i) {
    const char c = i < value.size() ? value[i] : '/';
    if (c != '\\' && c != '/') {
      if (static_cast<unsigned char>(c) < 32 || std::strchr("*?\"<>|:", c) != nullptr) return false;
      part += c;
      continue;
    }
    // The platform trims trailing dots and blanks from some parts of a path
    // and not from others, and reads two dots as the parent.
    if (!part.empty() && part != "." && (part.back() == '.' || part.back() == ' ')) return false;
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
  }
  return true;
}

bool RemoveListedFiles(const UninstallSettings& settings, RunPlatform& platform) {
  if (!ProgramExecutablePresent(settings, platform)) return false;
  const std::string& own = settings.own_directory;
  const std::string program = own + settings.prog_exe;
  std::string program_entry;  // the program's own [Files] entry, deleted last
  bool deleted_any = false;
  SettingsFile file;
  file.Open(platform, settings.settings_path);
  if (file.SelectGroup("Files") && file.ExamineKeys()) {
    while (file.NextKey()) {
      std::string path = own + file.KeyValue();
      if (SamePath(path, program)) {
        program_entry = std::move(path);
      } else if (DeleteListedFile(path, platform)) {
        deleted_any = true;
      }
    }
  }
  if (!program_entry.empty() && DeleteListedFile(program_entry, platform)) deleted_any = true;
  if (file.SelectGroup("Dirs") && file.ExamineKeys()) {
    while (file.NextKey()) {
      const std::string directory = own + file.KeyValue();
      if (!IsEmptyOrLogSkip(directory, platform)) continue;
      platform.ShowStatus(StatusText(directory + kAllEntries));
      platform.PurgeDirectory(directory, kAllEntries, false, false, {});
    }
  }
  file.Close();
  return deleted_any;
}

bool RemoveAllFiles(const UninstallSettings& settings, RunPlatform& platform) {
  if (!ProgramExecutablePresent(settings, platform)) return false;
  const std::string& own = settings.own_directory;
  const std::string program = own + settings.prog_exe;
  SettingsFile file;
  file.Open(platform, settings.settings_path);
  if (file.SelectGroup("Dirs") && file.ExamineKeys()) {
    while (file.NextKey()) PurgeListedTree(own, file.KeyValue(), program, platform);
  }
  // Closed first, so that uninstall.dat can go.
  file.Close();
  platform.ShowStatus(StatusText(own + kAllEntries));
  platform.PurgeDirectory(own, kAllEntries, false, true, {&program, &settings.settings_path});
  platform.PurgeDirectory(DirectoryOf(program), FileNameOf(program), false, true, {});
  platform.PurgeDirectory(own, FileNameOf(settings.settings_path), false, true, {});
  return true;
}
