#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include "driver/removal_steps.h"
#include "driver/run_platform_win32.h"
#include "driver/uninstall_sequence.h"
#include "external/script_host_win32.h"
#include "platform/paths_win32.h"
#include "privileges/administrator_win32.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"
#include "ui/confirmation_window_win32.h"
#include "ui/message_box.h"

#ifndef UNINSTALL_DEVELOPMENT_DIRECTORY
#define UNINSTALL_DEVELOPMENT_DIRECTORY ""
#endif

namespace {

// COM stays initialised from start-up to the exit path.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

void PreparePlatform() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

}  // namespace

int RunUninstall() {
  PreparePlatform();
  ComScope com;
  ScriptHost script_host;

  const std::string own_directory =
      ChooseOwnDirectory(ModulePath(), UNINSTALL_DEVELOPMENT_DIRECTORY, CurrentDirectory());
  const std::string settings_path = SettingsPathFor(own_directory);
  if (!FileExists(settings_path)) {
    const MessageText box = MissingSettingsMessage(settings_path);
    ShowMessage(box.caption, box.text, box.style);
    return 0;
  }
  UninstallRun run{ReadUninstallSettings(own_directory), LoadUiTexts(settings_path)};

  ConfirmationWindow window(run.texts);
  Win32RunPlatform platform(window, &script_host);
  if (!RunStartupHooks(run, platform)) return 0;
  if (!window.Open()) return 0;
  KernelHandle logon = ObtainAdministratorRights(run.settings.login_admin, run.texts);
  run.shared_directory = DeleteAllWouldHarm(run.settings.own_directory, ShellFolders());
  if (run.settings.no_del_all || run.shared_directory) window.HideDeleteAllOption();
  struct Context {
    UninstallRun& run;
    Win32RunPlatform& platform;
  } context{run, platform};
  window.RunEventLoop(
      [](void* data, int control) {
        auto* c = static_cast<Context*>(data);
        return HandleControl(c->run, c->platform, control);
      },
      &context);
  EndImpersonation(logon);
  window.Close();
  return 0;
}
