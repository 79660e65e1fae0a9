#include "removal/registry.h"

bool IsPredefinedRoot(RegistryRoot root) {
  // 0x80000004 is the performance-data root and 0x80000006 the dynamic-data
  // one: neither holds keys a program installs.
  return root <= 0x80000005u && root >= kClassesRoot && root != 0x80000004u;
}

std::string ProductKeyPath(const std::string& guid) { return kProductKeyParent + guid; }

std::string UninstallKeyPath(const std::string& registration_name) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + registration_name;
}
