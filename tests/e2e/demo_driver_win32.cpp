// Drives one uninstall for the demo: starts the uninstaller, and at each state
// (waiting for the decision, finished) writes a signal file and waits for the
// demo script to answer once it has taken its screenshot.
//
//   demo_driver UNINSTALLER SIGNAL_DIRECTORY
#include <windows.h>

#include <cstdio>
#include <string>

#include "harness_win32.h"
#include "removal/file_system.h"

namespace {

constexpr DWORD kWait = 30000;

void Signal(const std::string& directory, const std::string& name, const std::string& text = std::string()) {
  WriteWholeFile(directory + name, text);
}

bool AwaitAnswer(const std::string& directory, const std::string& name) {
  for (DWORD waited = 0; waited < kWait; waited += 50) {
    if (PathExists(directory + name)) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: demo_driver UNINSTALLER SIGNAL_DIRECTORY\n");
    return 2;
  }
  const std::string exe = argv[1];
  const std::string signals = WithTrailingBackslash(argv[2]);
  RunningUninstaller run(exe);
  HWND main = WaitForMainWindow(run, kWait);
  if (main == nullptr) return 1;
  Signal(signals, "waiting");
  if (!AwaitAnswer(signals, "go-ok")) return 1;
  ClickControl(main, 5);  // OK
  if (!WaitForText(StatusBarOf(main), "  Uninstalling completed.", kWait)) return 1;
  Signal(signals, "finished");
  if (!AwaitAnswer(signals, "go-ready")) return 1;
  ClickControl(main, 7);  // Ready
  DWORD code = 99;
  if (!run.WaitForExit(kWait, &code)) return 1;
  Signal(signals, "ended", std::to_string(code));
  return 0;
}
