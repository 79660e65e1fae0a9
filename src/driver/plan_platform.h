// The platform of /PLAN: the run's own order, told instead of done. Every
// call that reads goes to the system; the file system's removals go to it
// in its look-only mode; every other call that would change the machine or
// start something is only written to the log, in the plan's words.
#pragma once

#include <string>
#include <vector>

#include "platform/run_platform.h"

class PlanPlatform final : public RunPlatform {
 public:
  explicit PlanPlatform(RunPlatform& system) : system_(system) { system.LookOnly(); }

  HeldFileBytes ReadHeldFile(const std::string& path) override { return system_.ReadHeldFile(path); }
  std::string LegacyText(std::string_view bytes) override { return system_.LegacyText(bytes); }
  bool Utf8Text(std::string_view utf8, std::string& text) override { return system_.Utf8Text(utf8, text); }
  std::string ModulePath() override { return system_.ModulePath(); }
  ModulePathForms ModulePathsInUtf8() override { return system_.ModulePathsInUtf8(); }
  std::string CurrentDirectory() override { return system_.CurrentDirectory(); }
  std::string FullPath(const std::string& path) override { return system_.FullPath(path); }
  std::vector<std::string> ShellFolders() override { return system_.ShellFolders(); }
  std::string TempDirectory() override { return system_.TempDirectory(); }
  LocalTime Now() override { return system_.Now(); }
  std::string SystemDirectory() override { return system_.SystemDirectory(); }
  uint32_t RandomNumber() override { return system_.RandomNumber(); }
  LogRefusal OpenLog(const std::string& path, bool fresh) override { return system_.OpenLog(path, fresh); }
  void Log(const std::string& line) override { system_.Log(line); }
  void TellStandardError(const std::string& line) override { system_.TellStandardError(line); }

  // No window: a plan runs as an unattended run does.
  bool OpenWindow() override { return false; }
  void HideDeleteAllOption() override {}
  int WaitForControl() override { return kNoControl; }
  void EnterRemovingState() override {}
  bool IsDeleteAllChecked() override { return false; }
  void ShowStatus(const std::string&) override {}
  void ShowProgress(size_t, size_t) override {}
  void EndRemovingState(bool) override {}
  void ShowDetails(const std::string&, const std::string&) override {}
  void ShowMessage(const std::string&, const std::string&, unsigned) override {}
  void CloseWindow() override {}

  bool IsAdministrator() override { return system_.IsAdministrator(); }
  bool UacIsOn() override { return system_.UacIsOn(); }
  // Never asked: a plan is unattended.
  ProgramOutcome RunElevated(const std::string&) override { return {}; }
  void RunLogonDialog() override {}
  void EndImpersonation() override {}

  bool FileExists(const std::string& path) override { return system_.FileExists(path); }
  Outcome RemoveAbsolute(const std::string& path, bool directory) override {
    return system_.RemoveAbsolute(path, directory);
  }
  std::vector<std::string> EntriesOf(const std::string& directory) override { return system_.EntriesOf(directory); }
  bool HoldInstallation(const std::string& own_directory, const std::vector<std::string>& kept) override {
    return system_.HoldInstallation(own_directory, kept);
  }
  Outcome RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) override {
    return system_.RemoveInstalled(relative, how, listener);
  }
  void ReleaseInstallation() override { system_.ReleaseInstallation(); }
  void LookOnly() override {}

  // The registry as the run would have left it so far: less what the plan
  // deleted, with the keys it made on the way.
  bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                         std::string& text) override;
  KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) override;
  bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) override;
  bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  bool DeleteRegistryKey(RegistryRoot root, const std::string& key) override;
  void StartSelfDeleteBatch(const std::string& own_directory) override;
  // The program would run; the plan goes on as if it ended with 0.
  ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                            const std::string& working_directory, const WaitRule& rule) override;
  uint32_t VersionWord() override { return system_.VersionWord(); }
  bool MutexInUse(const std::string& name) override { return system_.MutexInUse(name); }
  std::vector<std::string> RunningExecutables() override { return system_.RunningExecutables(); }
  bool ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) override {
    return system_.ReadScriptFile(path, max_bytes, bytes);
  }
  ScriptOutcome RunScript(const std::string& language, const std::string& text, bool quiet, uint32_t limit_ms) override;

 private:
  // A registry deletion's line of the plan; true when it would be deleted.
  bool Told(Outcome outcome, const char* what, RegistryRoot root, const std::string& key, const std::string& value);

  // A key that the plan deleted, or one above it.
  bool Deleted(const std::string& key_name) const;
  // The keys that DeleteRegistryValue makes on its way to an absent key.
  void CreateOnTheWay(RegistryRoot root, const std::string& key);

  RunPlatform& system_;
  // Names in capitals ("HKCU\SOFTWARE\X", "HKCU\SOFTWARE\X|VALUE"), each
  // once however often or however spelt it was named. A plan names a few
  // hundred at most: a list searched whole costs the program no tree code.
  class Names {
   public:
    bool Has(const std::string& name) const;
    void Add(const std::string& name);
    bool Remove(const std::string& name);
    const std::vector<std::string>& All() const { return names_; }

   private:
    std::vector<std::string> names_;
  };
  Names deleted_keys_;    // that the system has
  Names created_keys_;    // that the system lacks
  Names deleted_values_;  // that the system has
};
