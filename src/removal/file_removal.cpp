#include "removal/file_removal.h"

#include <algorithm>

#include "removal/file_system.h"
#include "settings/settings_file.h"
#include "text/text.h"

namespace {

bool ProgramExecutablePresent(const UninstallSettings& settings, const RunPlatform& platform) {
  const std::string program = settings.own_directory + settings.prog_exe;
  if (platform.files.FileExists(program)) return true;
  platform.system.Log(JoinTexts({"remove files: skipped, the program's file is missing: ", program}));
  return false;
}

// Nothing is removed from an installation that cannot be held: a removal
// that could not see what it removes fails.
bool HeldOrLogged(const std::string& own, const std::vector<std::string>& kept, const RunPlatform& platform) {
  if (platform.files.HoldInstallation(own, kept)) return true;
  platform.system.Log(JoinTexts({"remove files: failed, the own directory could not be held: ", own}));
  return false;
}

// "\\server\share\": no more than two names after the leading backslashes.
bool IsShareRoot(const std::string& path) {
  if (path.compare(0, 2, "\\\\") != 0) return false;
  const size_t server_end = path.find('\\', 2);
  if (server_end == std::string::npos) return true;
  const size_t share_end = path.find('\\', server_end + 1);
  return share_end == std::string::npos || share_end + 1 == path.size();
}

// The value's path below the own directory; one that could leave it, or
// that the platform could read as another name, is passed over.
bool Below(const std::string& own, const std::string& value, bool directory, RemovalListener& listener,
           std::string& relative) {
  EntryReport report;
  report.path = own + value;
  // A value spelled beyond the platform's path limit is refused, as the
  // platform's own calls would refuse it, never cut to a shorter one.
  report.outcome = BeyondPathLimit(report.path)          ? Outcome::kTooLong
                   : !RelativePathBelow(value, relative) ? Outcome::kOutside
                                                         : Outcome::kRemoved;
  if (report.outcome == Outcome::kRemoved) return true;
  report.directory = directory;
  listener.Entry(report);
  return false;
}

// uninstall.dat, then the uninstaller itself (where it lies in the own
// directory), by their paths below it: the final clean-up and the batch
// take them.
std::vector<std::string> LeftToTheEnd(const UninstallSettings& settings, const RunPlatform& platform) {
  const std::string module = platform.system.ModulePath();
  const bool own = SameEntry(platform.system, DirectoryOf(module), settings.own_directory);
  return {FileNameOf(settings.settings_path), own ? FileNameOf(module) : std::string()};
}

// Paths below the own directory that name the same entry, as the file
// system tells names apart; a short name ("EDITOR~1.EXE"), the one other
// spelling a folder gives a name, by the entry it opens.
bool SameBelow(const RunPlatform& platform, const std::string& own, const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a == b;
  if (platform.system.SameName(a, b)) return true;
  const bool short_name = a.find('~') != std::string::npos || b.find('~') != std::string::npos;
  return short_name && SameEntry(platform.system, own + a, own + b);
}

// The program's path below the own directory.
std::string ProgramBelow(const UninstallSettings& settings) {
  std::string program;
  RelativePathBelow(settings.prog_exe, program);
  return program;
}

}  // namespace

bool DeleteAllWouldHarm(const std::string& own_directory, RunSystem& system) {
  const std::string own = WithTrailingBackslash(ReplaceAll(own_directory, "/", "\\"));
  if (IsDriveRoot(own) || IsShareRoot(own)) return true;
  FileIdentity identity;
  const bool found = system.IdentityOf(own, identity);
  // Each folder and every folder above it, each once, but the drive's root.
  std::vector<std::string> looked_at;
  for (const std::string& folder : system.ShellFolders()) {
    const std::string path = WithTrailingBackslash(ReplaceAll(folder, "/", "\\"));
    for (size_t end = path.find('\\', path.find_first_not_of('\\')); end != std::string::npos;
         end = path.find('\\', end + 1)) {
      const std::string above = path.substr(0, end);
      if (above.empty() || IsDriveRoot(above) ||
          std::find(looked_at.begin(), looked_at.end(), above) != looked_at.end())
        continue;
      looked_at.push_back(above);
      if (SameEntry(system, own, found, identity, above)) return true;
    }
  }
  return false;
}

bool RelativePathBelow(const std::string& value, std::string& relative) {
  relative.clear();
  std::string part;
  for (size_t i = 0; i <= value.size(); ++i) {
    const char c = i < value.size() ? value[i] : '/';
    if (c != '\\' && c != '/') {
      if (static_cast<unsigned char>(c) < 32 || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
          c == ':') {
        return false;
      }
      part += c;
      continue;
    }
    // The platform trims trailing dots and blanks from some parts of a path
    // and not from others, and reads two dots as the parent.
    if (!part.empty() && part != "." && (part.back() == '.' || part.back() == ' ')) return false;
    if (!part.empty() && part != ".") AppendTexts(relative, {relative.empty() ? "" : "\\", part});
    part.clear();
  }
  return true;
}

std::vector<std::pair<size_t, size_t>> DirsBeforeOneInside(const std::vector<std::string>& paths) {
  // Each value's folders above it, looked up among the values by a search of
  // them sorted, the first of equal ones kept: thousands of values stay fast.
  std::vector<std::pair<std::string, size_t>> sorted;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!paths[i].empty()) sorted.emplace_back(paths[i], i);
  }
  std::sort(sorted.begin(), sorted.end());  // by path, then by index
  std::vector<std::pair<size_t, size_t>> pairs;
  for (size_t j = 0; j < paths.size(); ++j) {
    const std::string& path = paths[j];
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
      const std::string outer = path.substr(0, slash);
      const auto found = std::lower_bound(sorted.begin(), sorted.end(), outer,
                                          [](const auto& entry, const std::string& key) { return entry.first < key; });
      if (found != sorted.end() && found->first == outer && found->second < j) pairs.emplace_back(found->second, j);
    }
  }
  return pairs;
}

bool FilesNameTheProgram(const std::vector<std::string>& paths, const std::string& prog_exe) {
  std::string program;
  if (!RelativePathBelow(prog_exe, program)) return false;
  return std::find(paths.begin(), paths.end(), UpperCase(program)) != paths.end();
}

bool RemoveListedFiles(const UninstallSettings& settings, const RunPlatform& platform, RemovalListener& listener) {
  if (!ProgramExecutablePresent(settings, platform)) return false;
  const std::string& own = settings.own_directory;
  const std::string program = ProgramBelow(settings);
  const std::vector<std::string> left = LeftToTheEnd(settings, platform);
  std::string program_value;  // the program's own [Files] entry, deleted last
  bool deleted_any = false;
  std::string relative;
  // A file that goes at the restart counts as removed.
  const auto remove = [&](const std::string& value) {
    const Outcome outcome = platform.files.RemoveInstalled(relative, Removal::kFile, listener);
    if (outcome != Outcome::kRemoved && outcome != Outcome::kAtRestart) return;
    platform.window.ShowStatus(StatusText(own + value));
    deleted_any = true;
  };
  if (!HeldOrLogged(own, {}, platform)) return false;
  SettingsFile file;
  file.Open(platform.system, settings.settings_path);
  // The values are counted first: the progress is the share of them handled.
  size_t total = 0;
  if (file.SelectGroup("Files") && file.ExamineKeys()) {
    while (file.NextKey()) ++total;
  }
  size_t done = 0;
  if (file.SelectGroup("Files") && file.ExamineKeys()) {
    while (file.NextKey()) {
      platform.window.ShowProgress(done++, total);
      const std::string value = file.KeyValue();
      if (!Below(own, value, false, listener, relative)) continue;
      if (SameBelow(platform, own, relative, program)) {
        program_value = value;
      } else if (!SameBelow(platform, own, relative, left.front()) &&
                 !SameBelow(platform, own, relative, left.back())) {
        remove(value);
      }
    }
  }
  if (!program_value.empty() && RelativePathBelow(program_value, relative)) remove(program_value);
  if (file.SelectGroup("Dirs") && file.ExamineKeys()) {
    while (file.NextKey()) {
      const std::string value = file.KeyValue();
      // The own directory itself goes only after the exit, with the batch.
      if (!Below(own, value, true, listener, relative) || relative.empty()) continue;
      if (platform.files.RemoveInstalled(relative, Removal::kEmptyDirectory, listener) == Outcome::kRemoved) {
        platform.window.ShowStatus(StatusText(own + value + kAllEntries));
      }
    }
  }
  file.Close();
  platform.files.ReleaseInstallation();
  return deleted_any;
}

void RemoveReadyFiles(const UninstallSettings& settings, const std::vector<std::string>& values,
                      const RunPlatform& platform, RemovalListener& listener) {
  // The [Dirs] values, read before uninstall.dat goes: a folder that held
  // only what Ready takes goes after it, so that the own directory can too.
  const std::vector<std::string> dirs = GroupValues(platform.system, settings.settings_path, "Dirs");
  if (!platform.files.HoldInstallation(settings.own_directory, {})) return;
  std::string relative;
  std::vector<std::string> taken;  // in capitals
  for (const std::string& value : values) {
    if (Below(settings.own_directory, value, false, listener, relative)) {
      platform.files.RemoveInstalled(relative, Removal::kFile, listener);
      taken.push_back(UpperCase(relative));
    }
  }
  for (const std::string& dir : dirs) {
    if (!RelativePathBelow(dir, relative)) continue;
    const std::string folder = UpperCase(relative) + "\\";
    bool held_ready_files = false;
    for (const std::string& path : taken)
      held_ready_files = held_ready_files || path.compare(0, folder.size(), folder) == 0;
    if (held_ready_files) platform.files.RemoveInstalled(relative, Removal::kEmptyDirectory, listener);
  }
  platform.files.ReleaseInstallation();
}

bool RemoveAllFiles(const UninstallSettings& settings, const RunPlatform& platform, RemovalListener& listener) {
  if (!ProgramExecutablePresent(settings, platform)) return false;
  const std::string& own = settings.own_directory;
  const std::string program = ProgramBelow(settings);
  std::vector<std::string> kept = LeftToTheEnd(settings, platform);
  kept.insert(kept.begin(), program);
  if (!HeldOrLogged(own, kept, platform)) return false;
  SettingsFile file;
  file.Open(platform.system, settings.settings_path);
  std::string relative;
  if (file.SelectGroup("Dirs") && file.ExamineKeys()) {
    while (file.NextKey()) {
      const std::string value = file.KeyValue();
      if (!Below(own, value, true, listener, relative)) continue;
      platform.window.ShowStatus(StatusText(own + value + kAllEntries));
      platform.files.RemoveInstalled(relative, Removal::kTree, listener);
    }
  }
  // Closed first, so that uninstall.dat can go.
  file.Close();
  platform.window.ShowStatus(StatusText(own + kAllEntries));
  platform.files.RemoveInstalled(std::string(), Removal::kFiles, listener);
  platform.files.RemoveInstalled(program, Removal::kFileClearing, listener);
  // Its directory, when it stayed only for the program.
  const std::string program_directory = WithoutTrailingBackslashes(DirectoryOf(program));
  if (!program_directory.empty()) platform.files.RemoveInstalled(program_directory, Removal::kEmptyDirectory, listener);
  platform.files.RemoveInstalled(FileNameOf(settings.settings_path), Removal::kFileClearing, listener);
  platform.files.ReleaseInstallation();
  return true;
}
