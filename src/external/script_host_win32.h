// The one Script Control of a run. It lives on a thread of its own, so that a
// script that never ends cannot hold the uninstaller forever: the run waits
// for the script up to the control's time limit and a grace period, then goes
// on without it, and the process's exit ends it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/owners_win32.h"

class ScriptHost {
 public:
  // Creates the control; Available() tells whether that worked. A run is
  // waited for at most wait_ms.
  explicit ScriptHost(DWORD wait_ms = kTimeoutMs + kGraceMs);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  bool Available() const { return available_; }
  // Sets the language and the time limit, then compiles and runs the text.
  void Run(const std::string& language, const std::string& text);

  static constexpr DWORD kTimeoutMs = 20000;
  static constexpr DWORD kGraceMs = 10000;

 private:
  static DWORD WINAPI Serve(void* host);
  void ServeOnThread();

  DWORD wait_ms_;
  KernelHandle wake_;  // a job or the end is waiting
  KernelHandle done_;  // creation or the job has finished
  KernelHandle thread_;
  bool available_ = false;
  bool quit_ = false;
  bool abandoned_ = false;
  std::string language_;
  std::string text_;
};
