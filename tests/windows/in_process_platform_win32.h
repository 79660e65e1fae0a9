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

class InProcessPlatform {
 public:
  explicit InProcessPlatform(ConfirmationWindow& confirmation, ScriptHost* script_host = nullptr)
      : window(confirmation, system, status_texts), processes(confirmation, script_host, batches) {}
  RunPlatform Parts() { return RunPlatform(system, window, files, registry, processes); }
  operator RunPlatform() { return Parts(); }  // NOLINT(google-explicit-constructor): the tests pass it whole

  std::vector<std::string> batches;
  std::vector<std::string> status_texts;

 private:
  class Window final : public Win32Window {
   public:
    Window(ConfirmationWindow& window, Win32System& system, std::vector<std::string>& texts)
        : Win32Window(window, system), window_(window), texts_(texts) {}
    void ShowStatus(const std::string& text) override {
      Win32Window::ShowStatus(text);
      char held[1024] = {};
      SendMessageA(window_.Status().Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(held));
      texts_.push_back(held);
    }

   private:
    ConfirmationWindow& window_;
    std::vector<std::string>& texts_;
  };
  class Processes final : public Win32Processes {
   public:
    Processes(ConfirmationWindow& window, ScriptHost* host, std::vector<std::string>& batches)
        : Win32Processes(window, host), batches_(batches) {}
    std::string StartSelfDeleteBatch(const std::string& own_directory) override {
      batches_.push_back(own_directory);
      return "C:\\recorded.bat";
    }

   private:
    std::vector<std::string>& batches_;
  };

 public:
  Win32System system;
  Window window;
  Win32Files files;
  Win32Registry registry;
  Processes processes;
};
