#include "removal/uninstall_entry.h"

#include "removal/registry.h"
#include "ui/confirmation_layout.h"

void RemoveUninstallEntry(const std::string& registration_name, RunPlatform& platform) {
  if (registration_name.empty()) return;
  const std::string key = UninstallKeyPath(registration_name);
  platform.ShowStatus(StatusText(key));
  for (const char* value :
       {"DisplayName", "DisplayIcon", "Publisher", "URLInfoAbout", "HelpLink", "Contact", "UninstallString"}) {
    platform.DeleteRegistryValue(kLocalMachine, key, value);
  }
  platform.DeleteRegistryKey(kLocalMachine, key);
}
