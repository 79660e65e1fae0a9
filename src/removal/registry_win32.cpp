#include <windows.h>

#include "platform/owners_win32.h"
#include "removal/file_system.h"
#include "removal/registry.h"

namespace {

// Predefined roots are sign-extended handle values.
HKEY RootHandle(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

}  // namespace

bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  if (!IsPredefinedRoot(root)) return false;
  RegistryKey opened;
  if (RegCreateKeyA(RootHandle(root), key.c_str(), opened.Receive()) != ERROR_SUCCESS) return false;
  return RegDeleteValueA(opened.Get(), value.c_str()) == ERROR_SUCCESS;
}

bool DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  // Without a name below the root there is nothing to delete: never the root.
  const std::string name = WithoutTrailingBackslashes(key);
  if (name.empty() || !IsPredefinedRoot(root)) return false;
  RegistryKey connected;
  if (RegConnectRegistryA("", RootHandle(root), connected.Receive()) != ERROR_SUCCESS) return false;
  return RegDeleteKeyA(connected.Get(), name.c_str()) == ERROR_SUCCESS;
}
