#include "driver/removal_steps.h"

#include "driver/settings_file.h"
#include "removal/file_removal.h"
#include "text/text.h"
#include "ui/confirmation_layout.h"
#include "ui/message_box.h"

namespace {

constexpr const char* kStartMenuKeys[] = {"Program", "AddExe", "Help", "Homepage", "Zephlink", "Uninstall"};

void RemoveStartMenuLinks(const UninstallRun& run, RunPlatform& platform) {
  SettingsFile file;
  file.Open(run.settings.settings_path);
  file.SelectGroup("StartMenu");
  for (const char* key : kStartMenuKeys) {
    const std::string link = file.ReadString(key);
    if (link.empty()) continue;
    platform.ShowStatus(StatusText(link));
    platform.DeletePlainFile(link);
  }
  file.Close();
}

void RemoveDesktopLink(const UninstallRun& run, RunPlatform& platform) {
  const std::string& link = run.settings.desktop_icon;
  if (link.empty()) return;
  platform.ShowStatus(StatusText(link));
  platform.DeletePlainFile(link);
}

// Comes with the registry primitives: the product key, only with delete-all.
void RemoveProductKey(const UninstallRun&, RunPlatform&) {}

// Comes with the user task records.
void UndoUserTasks(const UninstallRun&, RunPlatform&) {}

void RemoveStartMenuFolder(const UninstallRun& run, RunPlatform& platform) {
  const std::string& folder = run.settings.start_menu;
  if (!platform.IsDirectoryEmpty(folder)) return;
  platform.ShowStatus(StatusText(folder));
  platform.PurgeDirectory(folder, "*.*", false, false);
}

// Comes with the program runner.
void RunAfterUninstallProgram(const UninstallRun&, RunPlatform&) {}

// Comes with the registry primitives: the entry in the list of installed programs.
void RemoveUninstallRegistration(const std::string&, RunPlatform&) {}

// Comes with the self-deleting batch.
void StartSelfDeleteBatch(const std::string&, RunPlatform&) {}

}  // namespace

bool IsDriveRoot(const std::string& directory) {
  return RightBytes(directory, 2) == ":\\" || RightBytes(directory, 1) == ":";
}

void RunRemoval(UninstallRun& run, RunPlatform& platform) {
  const UninstallSettings& settings = run.settings;
  run.removal_succeeded = false;
  platform.EnterRemovingState();

  RemoveStartMenuLinks(run, platform);
  RemoveDesktopLink(run, platform);
  RemoveProductKey(run, platform);
  UndoUserTasks(run, platform);
  RemoveStartMenuFolder(run, platform);
  RunAfterUninstallProgram(run, platform);

  // Read before the directory step, which may delete uninstall.dat.
  std::string registration = settings.guid;
  if (registration.empty()) registration = ReadSettingValue("Settings", "ProgLink", "", settings.settings_path);
  if (!IsDriveRoot(settings.own_directory)) {
    run.removal_succeeded =
        platform.IsDeleteAllChecked() ? RemoveAllFiles(settings, platform) : RemoveListedFiles(settings, platform);
  }
  if (!run.removal_succeeded) {
    platform.ShowMessage(" " + run.texts.titel, run.texts.error, kErrorBoxStyle);
    run.end = true;
  }

  RemoveUninstallRegistration(registration, platform);
  platform.ShowStatus(StatusText(run.texts.status));
}

void RunFinalCleanup(UninstallRun& run, RunPlatform& platform) {
  const UninstallSettings& settings = run.settings;
  const std::string& own = settings.own_directory;
  platform.DeletePlainFile(settings.settings_path);
  platform.DeletePlainFile(own + "Uninstall.vbs");
  platform.DeletePlainFile(own + "Uninstall.js");
  platform.DeletePlainFile(own + settings.before_uninst);
  platform.DeletePlainFile(own + settings.after_uninst);
  StartSelfDeleteBatch(own, platform);
  run.end = true;
}

bool HandleControl(UninstallRun& run, RunPlatform& platform, int control) {
  switch (control) {
    case kOkButtonId:
      RunRemoval(run, platform);
      break;
    case kCancelButtonId:
      run.end = true;
      break;
    case kReadyButtonId:
      RunFinalCleanup(run, platform);
      break;
    default:
      break;  // the check box has toggled itself
  }
  return run.end;
}
