// The one Script Control of a run. It lives on a thread of its own, so that a
// script that never ends cannot hold the uninstaller forever: the run waits
// for the script up to the control's time limit and a grace period, then goes
// on without it, and the process's exit ends it. What that thread uses stays
// until the process ends, so a script that returns later finds it whole.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/owners_win32.h"
#include "platform/run_platform.h"

class ScriptHost {
 public:
  // Creates the control; Available() tells whether that worked. A run is
  // waited for at most wait_ms.
  explicit ScriptHost(DWORD wait_ms = kScriptControlTimeoutMs + kGraceMs);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  bool Available() const { return shared_ != nullptr && shared_->available; }
  // Sets the language, the time limit and whether the script may show
  // anything that waits for an answer, then compiles and runs the text.
  // Waited for at most the host's own bound, or timeout_ms where that is
  // shorter: /TIMEOUT can shorten a script's wait, never lengthen it.
  ScriptOutcome Run(const std::string& language, const std::string& text, bool allow_ui, DWORD timeout_ms = 0);

  static constexpr DWORD kScriptControlTimeoutMs = 20000;
  // The control's own Timeout stops a script that runs longer; the grace
  // is for the control to report that.
  static constexpr DWORD kGraceMs = 10000;

 private:
  // What the host and its thread share.
  struct Shared {
    KernelHandle wake;  // a job or the end is waiting
    KernelHandle done;  // creation or the job has finished
    bool available = false;
    bool quit = false;
    bool orphaned = false;  // the host is gone: the thread frees this at its end
    bool allow_ui = true;
    std::string language;
    std::string text;
    ScriptOutcome outcome;
  };

  static DWORD WINAPI Serve(void* shared);

  DWORD wait_ms_;
  std::unique_ptr<Shared> shared_;
  KernelHandle thread_;
  bool abandoned_ = false;
};
