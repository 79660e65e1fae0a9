// The run's platform calls carried out for real, on the confirmation window.
#pragma once

#include <memory>

#include "external/script_host_win32.h"
#include "platform/run_platform.h"
#include "removal/file_system_win32.h"
#include "ui/confirmation_window_win32.h"

class Win32RunPlatform : public RunPlatform {
 public:
  // Without a script host, one is made when the first script runs: a run
  // without a script pays neither its thread nor the Script Control.
  explicit Win32RunPlatform(ConfirmationWindow& window, ScriptHost* script_host = nullptr)
      : window_(window), script_host_(script_host) {}

  HeldFileBytes ReadHeldFile(const std::string& path) override;
  std::string LegacyText(std::string_view bytes) override;
  bool Utf8Text(std::string_view utf8, std::string& text) override;
  std::string ModulePath() override;
  ModulePathForms ModulePathsInUtf8() override;
  void TellStandardError(const std::string& line) override;
  std::string FullPath(const std::string& path) override;
  std::string CurrentDirectory() override;
  std::vector<std::string> ShellFolders() override;
  std::string TempDirectory() override;
  LocalTime Now() override;
  LogRefusal OpenLog(const std::string& path, bool fresh) override;
  std::string SystemDirectory() override;
  uint32_t RandomNumber() override;
  void Log(const std::string& line) override;
  bool OpenWindow() override;
  void HideDeleteAllOption() override;
  int WaitForControl() override;
  void EnterRemovingState() override;
  bool IsDeleteAllChecked() override;
  void ShowStatus(const std::string& text) override;
  void ShowProgress(size_t done, size_t total) override;
  void EndRemovingState(bool offer_details) override;
  void ShowDetails(const std::string& text, const std::string& folder) override;
  std::vector<std::string> EntriesOf(const std::string& directory) override;
  void FinishStep() override;
  void ShowMessage(const std::string& caption, const std::string& text, unsigned style) override;
  void CloseWindow() override;
  bool IsAdministrator() override;
  bool UacIsOn() override;
  ProgramOutcome RunElevated(const std::string& arguments) override;
  void RunLogonDialog() override;
  void EndImpersonation() override;
  bool FileExists(const std::string& path) override;
  Outcome RemoveAbsolute(const std::string& path, bool directory) override;
  bool HoldInstallation(const std::string& own_directory, const std::vector<std::string>& kept) override;
  Outcome RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) override;
  void ReleaseInstallation() override;
  void LookOnly() override;
  bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                         std::string& text) override;
  KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) override;
  bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) override;
  bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  bool DeleteRegistryKey(RegistryRoot root, const std::string& key) override;
  void StartSelfDeleteBatch(const std::string& own_directory) override;
  ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                            const std::string& working_directory, const WaitRule& rule) override;
  uint32_t VersionWord() override;
  bool MutexInUse(const std::string& name) override;
  std::vector<std::string> RunningExecutables() override;
  bool ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) override;
  ScriptOutcome RunScript(const std::string& language, const std::string& text, bool quiet, uint32_t limit_ms) override;

 private:
  // Logs the action with what became of it, the thread's last error if it failed.
  bool Logged(bool done, const char* action, const std::string& subject);

  ConfirmationWindow& window_;
  ScriptHost* script_host_;
  std::unique_ptr<ScriptHost> own_script_host_;
  HeldInstallation installation_;
  SystemChanges system_changes_;
  PlannedChanges planned_changes_;
  EntryChanges* changes_ = &system_changes_;  // the plan's once it looks
  KernelHandle logon_;                     // the administrator's token after a logon
  FileHandle log_;
  FileHandle log_folder_;  // held against renaming while the log is open
};
