// The run's platform calls carried out for real, on the confirmation window.
#pragma once

#include "driver/run_platform.h"
#include "ui/confirmation_window_win32.h"

class Win32RunPlatform : public RunPlatform {
 public:
  explicit Win32RunPlatform(ConfirmationWindow& window) : window_(window) {}

  void EnterRemovingState() override;
  bool IsDeleteAllChecked() override;
  void ShowStatus(const std::string& text) override;
  void ShowMessage(const std::string& caption, const std::string& text, unsigned style) override;
  bool FileExists(const std::string& path) override;
  bool DeletePlainFile(const std::string& path) override;
  bool IsDirectoryEmpty(const std::string& directory) override;
  bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive,
                      bool clear_attributes) override;
  bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) override;
  bool DeleteRegistryKey(RegistryRoot root, const std::string& key) override;
  void StartSelfDeleteBatch(const std::string& own_directory) override;

 private:
  ConfirmationWindow& window_;
};
