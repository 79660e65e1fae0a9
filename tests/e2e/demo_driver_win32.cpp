// Drives one uninstall for the demo: starts the uninstaller, and at each state
// (waiting for the decision, finished) writes a signal file and waits for the
// demo script to answer once it has taken its screenshot. Answered go-cancel
// while waiting, it cancels instead; answered go-details when finished, it
// opens the list of what stayed and signals again. With "removing", it also signals once the
// progress bar has come part-way, and goes on.
//
//   demo_driver UNINSTALLER SIGNAL_DIRECTORY [removing]
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "harness_win32.h"
#include "removal/file_system.h"

namespace {

constexpr DWORD kWait = 30000;

void Signal(const std::string& directory, const std::string& name, const std::string& text = std::string()) {
  WriteWholeFile(directory + name, text);
}

// The answer given, or empty when none came in time.
std::string AwaitAnswer(const std::string& directory, std::initializer_list<const char*> answers) {
  for (DWORD waited = 0; waited < kWait; waited += 50) {
    for (const char* answer : answers) {
      if (PathExists(directory + answer)) return answer;
    }
    Sleep(50);
  }
  return std::string();
}

int Ended(const RunningUninstaller& run, const std::string& signals) {
  DWORD code = 99;
  if (!run.WaitForExit(kWait, &code)) return 1;
  Signal(signals, "ended", std::to_string(code));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    fprintf(stderr, "usage: demo_driver UNINSTALLER SIGNAL_DIRECTORY [removing]\n");
    return 2;
  }
  const std::string exe = argv[1];
  const std::string signals = WithTrailingBackslash(argv[2]);
  RunningUninstaller run(exe);
  HWND main = WaitForMainWindow(run, kWait);
  if (main == nullptr) return 1;
  Signal(signals, "waiting");
  const std::string answer = AwaitAnswer(signals, {"go-ok", "go-cancel"});
  if (answer.empty()) return 1;
  if (answer == "go-cancel") {
    ClickControl(main, 6);  // Cancel
    return Ended(run, signals);
  }
  ClickControl(main, 5);  // OK
  if (argc == 4) {
    HWND bar = GetDlgItem(main, 11);  // the progress bar
    for (DWORD waited = 0; waited < kWait && SendMessageA(bar, PBM_GETPOS, 0, 0) < 20; waited += 5) Sleep(5);
    Signal(signals, "removing");
  }
  if (!WaitForText(StatusBarOf(main), "  Uninstalling completed.", kWait)) return 1;
  Signal(signals, "finished");
  std::string next = AwaitAnswer(signals, {"go-ready", "go-details"});
  if (next == "go-details") {
    ClickControl(main, 12);  // Details
    if (run.WaitForWindow("QuillmarnDetails", kWait) == nullptr) return 1;
    Signal(signals, "details");
    next = AwaitAnswer(signals, {"go-ready"});
  }
  if (next.empty()) return 1;
  ClickControl(main, 7);  // Ready
  return Ended(run, signals);
}
