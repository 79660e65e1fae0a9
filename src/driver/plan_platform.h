// The platform of /PLAN: the run's own order, told instead of done. The
// system's reads and its log are the system's; the file system is the
// system's in its look-only mode; the registry and what starts programs are
// the plan's own, which read the system and say what would become of each
// change, which the run then logs in a plan's words; and there is no window.
#pragma once

#include <string>
#include <vector>

#include "platform/run_platform.h"

// No window: a plan runs as an unattended run does.
class NoWindow final : public RunWindow {
 public:
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
};

// The registry as the run would have left it so far: the system's, less
// what the plan deleted, with the keys it made on the way.
class PlanRegistry final : public RunRegistry {
 public:
  PlanRegistry(RunRegistry& registry, RunSystem& log) : system_(registry), log_(log) {}
  bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                         std::string& text) override;
  KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) override;
  std::string KeyPathOf(RegistryRoot root, const std::string& key) override { return system_.KeyPathOf(root, key); }
  bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) override;
  RemovalResult DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  RemovalResult DeleteRegistryKey(RegistryRoot root, const std::string& key) override;

 private:
  // A key that the plan deleted, or one above it: what the system holds
  // there is gone, though the key may have been made again since.
  bool Deleted(const std::string& key_name) const;
  // A key as the plan remembers it: in capitals, by the system's own name
  // of the nearest key that exists on its path, so that every alias of a
  // key is one key; by its spelling where none can be opened.
  std::string KeyName(RegistryRoot root, const std::string& key) const;
  // The keys that DeleteRegistryValue makes on its way to an absent key.
  void CreateOnTheWay(RegistryRoot root, const std::string& key);

  RunRegistry& system_;
  RunSystem& log_;
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
  Names created_keys_;    // that the plan made: the system lacks them, or they were deleted first
  Names deleted_values_;  // that the system has
};

// Programs, scripts and the batch would run: the run tells them. The plan
// goes on as if each program ended with 0.
class PlanProcesses final : public RunProcesses {
 public:
  ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                            const std::string& working_directory, const WaitRule& rule) override;
  ScriptOutcome RunScript(const std::string& language, const std::string& text, bool quiet,
                          uint32_t timeout_ms) override;
  std::string StartSelfDeleteBatch(const std::string&) override { return {}; }
  // Never asked: a plan is unattended.
  ProgramOutcome RunElevated(const std::string&) override { return {}; }
  void RunLogonDialog() override {}
  void EndImpersonation() override {}
};

// The system's process and file system (looking only from now on), the
// plan's window, registry and processes.
struct PlanPlatform {
  explicit PlanPlatform(const RunPlatform& system) : registry(system.registry, system.system), system_(system) {
    system.files.LookOnly();
  }
  RunPlatform Parts() { return RunPlatform(system_.system, window, system_.files, registry, processes, true); }

  NoWindow window;
  PlanRegistry registry;
  PlanProcesses processes;

 private:
  RunPlatform system_;
};
