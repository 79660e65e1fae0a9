// The run's platform calls carried out for real, on the confirmation window,
// one part each; the parts that change the machine write it to the log.
#pragma once

#include <memory>

#include "external/script_host_win32.h"
#include "platform/run_platform.h"
#include "removal/file_system_win32.h"
#include "ui/confirmation_window_win32.h"

class Win32System final : public RunSystem {
 public:
  HeldFileBytes ReadHeldFile(const std::string& path) override;
  std::string LegacyText(std::string_view bytes) override;
  bool Utf8Text(std::string_view utf8, std::string& text) override;
  std::string ModulePath() override;
  ModulePathForms ModulePathsInUtf16() override;
  bool SameName(const std::string& a, const std::string& b) override;
  bool IdentityOf(const std::string& path, FileIdentity& identity) override;
  std::string CurrentDirectory() override;
  std::string FullPath(const std::string& path) override;
  std::vector<std::string> ShellFolders() override;
  std::string TempDirectory() override;
  std::string SystemDirectory() override;
  uint32_t RandomNumber() override;
  uint16_t UserUiLanguage() override { return GetUserDefaultUILanguage(); }
  LocalTime Now() override;
  uint32_t VersionWord() override;
  LogRefusal OpenLog(const std::string& path, bool fresh) override;
  void Log(const std::string& line) override;
  void TellStandardError(const std::string& line) override;
  bool IsAdministrator() override;
  bool UacIsOn() override;
  bool MutexInUse(const std::string& name) override;
  std::vector<std::string> RunningExecutables() override;
  bool ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) override;

  bool Logging() const { return log_.Valid(); }

 private:
  KernelHandle log_;
  FileHandle log_folder_;  // held against renaming while the log is open
};

class Win32Window : public RunWindow {
 public:
  Win32Window(ConfirmationWindow& window, Win32System& system) : window_(window), system_(system) {}
  bool OpenWindow() override;
  void HideDeleteAllOption() override;
  int WaitForControl() override;
  void EnterRemovingState() override;
  bool IsDeleteAllChecked() override;
  // Logged too.
  void ShowStatus(const std::string& text) override;
  void ShowProgress(size_t done, size_t total) override;
  void EndRemovingState(bool offer_details) override;
  void ShowDetails(const std::string& text, const std::string& folder) override;
  void FinishStep() override;
  void ShowMessage(const std::string& caption, const std::string& text, unsigned style) override;
  void CloseWindow() override;

 private:
  ConfirmationWindow& window_;
  Win32System& system_;
};

class Win32Files final : public RunFiles {
 public:
  bool FileExists(const std::string& path) override;
  RemovalResult RemoveAbsolute(const std::string& path, bool directory) override;
  std::vector<HeldEntry> EntriesOf(const std::string& directory) override;
  void RememberLook() override { planned_changes_.Remember(); }
  void BackToRememberedLook() override { planned_changes_.BackToRemembered(); }
  bool HoldInstallation(const std::string& own_directory, const std::vector<std::string>& kept) override;
  Outcome RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) override;
  void ReleaseInstallation() override;
  void LookOnly() override;

 private:
  HeldInstallation installation_;
  PlannedChanges planned_changes_;  // the installation's once it looks
};

class Win32Registry final : public RunRegistry {
 public:
  bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                         std::string& text) override;
  KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) override;
  std::string KeyPathOf(RegistryRoot root, const std::string& key) override;
  bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) override;
  RemovalResult DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  RemovalResult DeleteRegistryKey(RegistryRoot root, const std::string& key) override;
};

class Win32Processes : public RunProcesses {
 public:
  // Without a script host, one is made when the first script runs: a run
  // without a script pays neither its thread nor the Script Control.
  Win32Processes(ConfirmationWindow& window, ScriptHost* script_host) : window_(window), script_host_(script_host) {}
  ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                            const std::string& working_directory, const WaitRule& rule) override;
  ScriptOutcome RunScript(const std::string& language, const std::string& text, bool quiet,
                          uint32_t timeout_ms) override;
  std::string StartSelfDeleteBatch(const std::string& own_directory) override;
  ProgramOutcome RunElevated(const std::string& arguments) override;
  void RunLogonDialog() override;
  void EndImpersonation() override;

 private:
  ConfirmationWindow& window_;
  ScriptHost* script_host_;
  std::unique_ptr<ScriptHost> own_script_host_;
  KernelHandle logon_;  // the administrator's token after a logon
};

// Every part, for real.
struct Win32RunPlatform {
  explicit Win32RunPlatform(ConfirmationWindow& confirmation, ScriptHost* script_host = nullptr)
      : window(confirmation, system), processes(confirmation, script_host) {}
  RunPlatform Parts() { return RunPlatform(system, window, files, registry, processes); }

  Win32System system;
  Win32Window window;
  Win32Files files;
  Win32Registry registry;
  Win32Processes processes;
};
