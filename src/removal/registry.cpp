#include "removal/registry.h"

bool RegistryRefusesPath(const std::string& key) { return !key.empty() && key[0] == '\\'; }

std::string ProductKeyPath(const std::string& guid) { return kProductKeyParent + guid; }

std::string UninstallKeyPath(const std::string& registration_name) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + registration_name;
}
