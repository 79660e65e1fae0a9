// A pretend machine for the run's core: one small fake per part of the
// platform, each the one place its state lives, and the calls the run makes
// in its order, which the tests of the run's order read.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_files.h"
#include "platform/run_platform.h"
#include "text/text.h"

// The process, its log and what it reads of the machine.
class FakeSystem : public RunSystem {
 public:
  // Each call the run makes, in its order, where the tests of the order read it.
  virtual void Record(const std::string& call) = 0;
  // The process and the window: the controls the user will activate, in order.
  std::string module_path = "C:\\Apps\\Editor\\uninstall.exe";
  std::string current_directory = "C:\\Work";
  std::vector<std::string> shell_folders;
  bool administrator = false;

  // The log: whether it can be opened, where, and its lines.
  bool log_opens = true;
  std::string log_opened;
  std::vector<std::string> log_lines;

  HeldFileBytes ReadHeldFile(const std::string& path) override { return StagedFiles().ReadHeldFile(path); }
  std::string LegacyText(std::string_view bytes) override { return StagedFiles().LegacyText(bytes); }
  bool Utf8Text(std::string_view utf8, std::string& text) override { return StagedFiles().Utf8Text(utf8, text); }
  std::string ModulePath() override { return module_path; }
  // A system that put in the nearest letters: the exact form differs.
  std::string exact_module_path;
  // Each byte a unit: enough to tell two forms apart.
  ModulePathForms ModulePathsInUtf16() override {
    const std::string& exact = exact_module_path.empty() ? module_path : exact_module_path;
    return {std::u16string(exact.begin(), exact.end()), std::u16string(module_path.begin(), module_path.end())};
  }
  // Names by the program's own case rule; entries the same where a test
  // gives two paths one identity.
  bool SameName(const std::string& a, const std::string& b) override { return UpperCase(a) == UpperCase(b); }
  std::map<std::string, FileIdentity> identities;
  bool IdentityOf(const std::string& path, FileIdentity& identity) override {
    const auto found = identities.find(path);
    if (found != identities.end()) identity = found->second;
    return found != identities.end();
  }
  std::string TempDirectory() override { return "C:\\Temp\\"; }
  std::string SystemDirectory() override { return "C:\\Windows\\System32"; }
  uint32_t RandomNumber() override { return 0x0badcafe; }
  uint16_t ui_language = 0x0409;
  uint16_t UserUiLanguage() override { return ui_language; }
  LocalTime Now() override { return {2026, 12, 7, 9, 5, 3}; }
  bool log_fresh = false;
  LogRefusal OpenLog(const std::string& path, bool fresh) override {
    if (log_opens) log_opened = path;
    log_fresh = fresh;
    return log_opens ? LogRefusal::kNone : LogRefusal::kUnwritable;
  }
  void Log(const std::string& line) override {
    if (!log_opened.empty()) log_lines.push_back(line);
  }
  std::vector<std::string> standard_error;
  void TellStandardError(const std::string& line) override { standard_error.push_back(line); }
  std::string CurrentDirectory() override { return current_directory; }
  // Relative paths below the current directory.
  // Separators of either kind and any number, "." and ".." resolved by
  // their spelling, as the platform does.
  std::string FullPath(const std::string& path) override {
    const std::string full = path.size() > 1 && (path[1] == ':' || path[0] == '\\' || path[0] == '/')
                                 ? path
                                 : WithTrailingBackslash(current_directory) + path;
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= full.size(); ++i) {
      const char c = i < full.size() ? full[i] : '\\';
      if (c != '\\' && c != '/') {
        part += c;
        continue;
      }
      if (part == ".." && parts.size() > 1) parts.pop_back();
      if (!part.empty() && part != "." && part != "..") parts.push_back(part);
      part.clear();
    }
    std::string resolved = full.compare(0, 2, "\\\\") == 0 ? "\\\\" : full[0] == '\\' ? "\\" : "";
    const size_t lead = resolved.size();
    for (const std::string& name : parts) resolved += (resolved.size() == lead ? "" : "\\") + name;
    return full.back() == '\\' || full.back() == '/' ? resolved + "\\" : resolved;
  }
  std::vector<std::string> ShellFolders() override { return shell_folders; }
  bool IsAdministrator() override {
    Record("administrator?");
    return administrator;
  }
  bool uac_on = false;
  bool UacIsOn() override { return uac_on; }
  uint32_t version_word = 0x23F00206;  // bits 16 to 23 set
  std::set<std::string> mutexes;
  std::vector<std::string> processes;
  std::map<std::string, std::string> scripts;  // path to file bytes
  uint32_t VersionWord() override {
    Record("version");
    return version_word;
  }
  bool MutexInUse(const std::string& name) override { return mutexes.count(name) != 0; }
  std::vector<std::string> RunningExecutables() override { return processes; }
  bool ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) override {
    const auto found = scripts.find(path);
    if (found == scripts.end() || found->second.size() > max_bytes) return false;
    bytes = found->second;
    return true;
  }
};

// The confirmation window: the controls the user will activate, in order.
class FakeWindow : public RunWindow {
 public:
  // Each call the run makes, in its order, where the tests of the order read it.
  virtual void Record(const std::string& call) = 0;
  bool delete_all_checked = false;
  bool window_opens = true;
  std::vector<int> controls;
  bool idle_told = false;
  bool OpenWindow() override {
    Record("window");
    return window_opens;
  }
  void HideDeleteAllOption() override { Record("hide option"); }
  int WaitForControl() override {
    if (!idle_told) {
      idle_told = true;
      return kWindowIdle;
    }
    if (controls.empty()) return kNoControl;
    const int control = controls.front();
    controls.erase(controls.begin());
    Record("control:" + std::to_string(control));
    return control;
  }
  void CloseWindow() override { Record("close window"); }

  void EnterRemovingState() override { Record("removing"); }
  bool IsDeleteAllChecked() override { return delete_all_checked; }
  void ShowStatus(const std::string& text) override { Record("status:" + text); }
  // The progress, as the last call left it.
  size_t progress_done = 0, progress_total = 0;
  void ShowProgress(size_t done, size_t total) override {
    progress_done = done;
    progress_total = total;
  }
  bool steps_ended = false;
  bool details_offered = false;
  void EndRemovingState(bool offer_details) override {
    steps_ended = true;
    details_offered = offer_details;
  }
  void ShowDetails(const std::string& text, const std::string& folder) override {
    Record("details:" + folder + "|" + text);
  }
  void ShowMessage(const std::string& caption, const std::string& text, unsigned style) override {
    Record("box:" + caption + "|" + text + "|" + std::to_string(style));
  }
};

// Files and directories by full path, below the own directory as the held
// installation; a relative path is resolved as the system resolves it.
class FakeFiles : public RunFiles {
 public:
  // Each call the run makes, in its order, where the tests of the order read it.
  virtual void Record(const std::string& call) = 0;
  // The system's resolution of a relative path.
  virtual std::string FullPath(const std::string& path) = 0;
  std::set<std::string> files;       // full paths of existing files
  std::set<std::string> empty_dirs;  // directories that exist and are empty
  std::set<std::string> in_use;      // files that go only at the restart
  std::string held_own;
  // What each directory holds, by its path without a final backslash; a
  // directory below the own one that holds something stays. A directory's
  // name ends in a backslash, a link's in "@".
  std::map<std::string, std::vector<std::string>> entries;
  std::vector<HeldEntry> EntriesOf(const std::string& directory) override {
    std::vector<HeldEntry> held;
    for (const std::string& name : entries[WithoutTrailingBackslashes(directory)]) {
      const bool link = name.back() == '@', folder = name.back() == '\\';
      held.push_back({link || folder ? name.substr(0, name.size() - 1) : name, folder || link, link});
    }
    return held;
  }
  bool FileExists(const std::string& path) override {
    return files.count(path) != 0 || files.count(FullPath(path)) != 0 || StagedFileExists(path);
  }
  // Once LookOnly is called, the file system's removals only look: they are
  // logged with "look " in front and change nothing here.
  bool look_only = false;
  void LookOnly() override {
    Record("look only");
    look_only = true;
  }
  RemovalResult RemoveAbsolute(const std::string& path, bool directory) override {
    std::set<std::string>& kind = directory ? empty_dirs : files;
    Record((look_only ? "look " : directory ? "rmdir:" : "delete:") + path);
    const bool there = look_only   ? (directory ? kind.count(path) != 0 : FileExists(path))
                       : directory ? kind.erase(path) != 0
                                   : (kind.erase(path) != 0) + RemoveStagedFile(path) > 0;
    return {there ? Outcome::kRemoved : Outcome::kAbsent, 0};
  }
  // The installation: each call by its kind and the value's parts; files and
  // empty directories go, below the own directory, and each is reported.
  bool HoldInstallation(const std::string& own, const std::vector<std::string>& kept) override {
    std::string entry = "hold:" + own;
    for (const std::string& path : kept) entry += "|keep " + path;
    Record(entry);
    held_own = own;
    return true;
  }
  Outcome RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) override {
    static const char* const kKinds[] = {"file", "file!", "emptydir", "tree", "files"};
    Record((look_only ? "look " : "") + std::string(kKinds[static_cast<int>(how)]) + ":" + relative);
    const std::string path = held_own + relative;
    EntryReport report;
    report.path = path;
    report.directory = how != Removal::kFile && how != Removal::kFileClearing;
    // A staged file (uninstall.dat, say) is a file like any other.
    const bool removed = look_only          ? (report.directory ? empty_dirs.count(path) != 0 : FileExists(path))
                         : report.directory ? empty_dirs.erase(path) != 0 || how == Removal::kTree
                                            : (files.erase(path) != 0) + RemoveStagedFile(path) > 0;
    if (!look_only && (how == Removal::kTree || how == Removal::kFiles)) RemoveStagedFilesUnder(path);
    report.outcome = in_use.count(path) != 0 ? Outcome::kAtRestart : removed ? Outcome::kRemoved : Outcome::kAbsent;
    if (report.directory && !entries[path].empty()) report.outcome = Outcome::kNotEmpty;
    listener.Entry(report);
    return report.outcome;
  }
  void ReleaseInstallation() override { Record("release"); }
};

// Registry values, "HKLM\\key|name", and keys, "HKLM\\key".
class FakeRegistry : public RunRegistry {
 public:
  // Each call the run makes, in its order, where the tests of the order read it.
  virtual void Record(const std::string& call) = 0;
  // Registry values, "HKLM\\key|name", and keys, "HKLM\\key", without subkeys;
  // deleting a value takes it from here.
  std::map<std::string, std::string> registry;
  std::set<std::string> registry_keys;
  // Names in any letters, as the registry takes them.
  bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                         std::string& text) override {
    const std::string wanted = UpperCase(RootName(root) + "\\" + key + "|" + value);
    text.clear();
    for (const auto& entry : registry) {
      if (UpperCase(entry.first) != wanted) continue;
      text = entry.second;
      return true;
    }
    return false;
  }
  // Keys exist where registry_keys names them or a value stands in them;
  // a key's subkeys are the names one level below it.
  KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) override {
    const std::string name = UpperCase(RootName(root) + "\\" + key);
    KeyHolds holds;
    std::set<std::string> children;
    for (const auto& value : registry) {
      const std::string value_key = UpperCase(value.first.substr(0, value.first.find('|')));
      holds.values += value_key == name ? 1 : 0;
      if (value_key.compare(0, name.size() + 1, name + "\\") == 0) {
        children.insert(value_key.substr(0, value_key.find('\\', name.size() + 1)));
      }
    }
    bool listed = false;
    for (const std::string& listed_key : registry_keys) {
      const std::string other = UpperCase(listed_key);
      listed = listed || other == name;
      if (other.compare(0, name.size() + 1, name + "\\") == 0) {
        children.insert(other.substr(0, other.find('\\', name.size() + 1)));
      }
    }
    holds.subkeys = static_cast<uint32_t>(children.size());
    holds.exists = holds.values > 0 || holds.subkeys > 0 || listed;
    return holds;
  }
  // Keys whose changes the account is denied.
  // The system's own name of an existing key: each alias ("HKCU", "2147483648\\Software")
  // in front of a key stands for the name given ("\\REGISTRY\\USER\\S-1").
  std::map<std::string, std::string> registry_aliases;
  std::string KeyPathOf(RegistryRoot root, const std::string& key) override {
    const std::string name = WithoutTrailingBackslashes(RootName(root) + "\\" + key);
    if (!RegistryKeyHolds(root, key).exists) return std::string();
    for (const auto& alias : registry_aliases) {
      if (name.compare(0, alias.first.size(), alias.first) == 0) return alias.second + name.substr(alias.first.size());
    }
    return std::string();
  }
  std::set<std::string> registry_denied;
  bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange) override {
    return registry_denied.count(RootName(root) + "\\" + key) == 0;
  }
  RemovalResult DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) override {
    Record("regvalue:" + RootName(root) + "\\" + key + "|" + value);
    // As the registry's own: the key is opened by making it, and stays.
    if (IsPredefinedRoot(root)) registry_keys.insert(RootName(root) + "\\" + key);
    const bool there = registry.erase(RootName(root) + "\\" + key + "|" + value) != 0;
    return {there ? Outcome::kRemoved : Outcome::kAbsent, 0};
  }
  // A key listed in registry_keys goes when it holds nothing; others stay absent.
  RemovalResult DeleteRegistryKey(RegistryRoot root, const std::string& key) override {
    Record("regkey:" + RootName(root) + "\\" + key);
    const KeyHolds holds = RegistryKeyHolds(root, key);
    if (!holds.exists) return {Outcome::kAbsent, 0};
    if (holds.values > 0 || holds.subkeys > 0) return {Outcome::kNotEmpty, 0};
    registry_keys.erase(RootName(root) + "\\" + key);
    return {};
  }

 private:
  static std::string RootName(RegistryRoot root) {
    return root == kCurrentUser ? "HKCU" : root == kLocalMachine ? "HKLM" : std::to_string(root);
  }
};

// What the run starts: each program's exit code, the batch, the script.
class FakeProcesses : public RunProcesses {
 public:
  // Each call the run makes, in its order, where the tests of the order read it.
  virtual void Record(const std::string& call) = 0;
  // The elevated run: declined (not started) unless it gives an exit code.
  ProgramOutcome elevated;
  ProgramOutcome RunElevated(const std::string& arguments) override {
    Record("elevate:" + arguments);
    return elevated;
  }
  void RunLogonDialog() override { Record("logon"); }
  void EndImpersonation() override { Record("end impersonation"); }
  std::string StartSelfDeleteBatch(const std::string& own_directory) override {
    Record("batch:" + own_directory);
    return "C:\\Temp\\~qm1\\~~uninst.bat";
  }

  // Programs: what each started program returns; unknown programs cannot start.
  std::map<std::string, uint32_t> exit_codes;

  // Programs that never end; the rule of each wait.
  std::set<std::string> hanging;
  std::vector<WaitRule> rules;
  ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                            const std::string& working_directory, const WaitRule& rule) override {
    Record("run:" + program + "|" + parameters + "|" + working_directory);
    rules.push_back(rule);
    if (hanging.count(program) != 0 && rule.timeout_ms != 0) return ProgramOutcome{true, 0, true};
    const auto found = exit_codes.find(program);
    if (found == exit_codes.end()) return ProgramOutcome{};
    return ProgramOutcome{true, found->second};
  }
  ScriptOutcome RunScript(const std::string& language, const std::string& text, bool quiet, uint32_t) override {
    Record("script:" + language + "|" + text + (quiet ? "|quiet" : ""));
    ScriptOutcome outcome;
    outcome.ran = true;
    return outcome;
  }
};

// Every part at once, as RunPlatform takes it.
class FakePlatform : public FakeSystem, public FakeWindow, public FakeFiles, public FakeRegistry, public FakeProcesses {
 public:
  // The calls of every part, in the order the run makes them.
  std::vector<std::string> log;
  void Record(const std::string& call) override { log.push_back(call); }
  std::string FullPath(const std::string& path) override { return FakeSystem::FullPath(path); }
};
