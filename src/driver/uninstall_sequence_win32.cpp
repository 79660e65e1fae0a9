#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "driver/run_platform_win32.h"
#include "driver/uninstall_sequence.h"
#include "platform/owners_win32.h"
#include "ui/confirmation_window_win32.h"

#ifndef UNINSTALL_DEVELOPMENT_DIRECTORY
#define UNINSTALL_DEVELOPMENT_DIRECTORY ""
#endif

uint32_t RunUninstall() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The process ends right after the run, and the system takes everything
  // down at once: the run's objects are never destroyed one by one.
  auto* run = new UninstallRun;
  auto* window = new ConfirmationWindow(run->texts);
  auto* platform = new Win32RunPlatform(*window);
  return RunUninstall(*run, platform->Parts(), UNINSTALL_DEVELOPMENT_DIRECTORY, GetCommandLineA());
}
