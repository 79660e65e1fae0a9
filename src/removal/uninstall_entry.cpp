#include "removal/uninstall_entry.h"

#include "removal/change_log.h"
#include "removal/registry.h"

namespace {

// Named arrays stay read-only data; a braced list in a loop would be copied
// into writable data, which costs the program a section of its own.
constexpr const char* kEntryValues[] = {"DisplayName", "DisplayIcon", "Publisher",      "URLInfoAbout",
                                        "HelpLink",    "Contact",     "UninstallString"};

}  // namespace

void RemoveUninstallEntry(const std::string& registration_name, const RunPlatform& platform) {
  if (registration_name.empty()) return;
  const std::string key = UninstallKeyPath(registration_name);
  platform.window.ShowStatus(StatusText(key));
  for (const char* value : kEntryValues) {
    DeleteValue(platform, kLocalMachine, key, value);
  }
  DeleteKey(platform, kLocalMachine, key);
}
