// The real platform for in-process tests, except that the self-deleting batch
// is only recorded: started from a test, it would delete the test program.
// Also records, after every status text, what the status bar then holds.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "driver/run_platform_win32.h"

class InProcessPlatform : public Win32RunPlatform {
 public:
  explicit InProcessPlatform(ConfirmationWindow& window, ScriptHost* script_host = nullptr)
      : Win32RunPlatform(window, script_host), window_(window) {}
  void StartSelfDeleteBatch(const std::string& own_directory) override { batches.push_back(own_directory); }
  void ShowStatus(const std::string& text) override {
    Win32RunPlatform::ShowStatus(text);
    char held[1024] = {};
    SendMessageA(window_.Status().Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(held));
    status_texts.push_back(held);
  }
  std::vector<std::string> batches;
  std::vector<std::string> status_texts;

 private:
  ConfirmationWindow& window_;
};
