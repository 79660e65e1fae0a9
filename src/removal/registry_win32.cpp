#include <windows.h>

#include "platform/owners_win32.h"
#include "removal/file_system.h"
#include "removal/registry.h"

namespace {

// Predefined roots are sign-extended handle values.
HKEY RootHandle(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

// The registry's own result becomes the thread's last error, as a failed
// file call leaves it, so that a caller can tell why.
bool Succeeded(LONG result) {
  SetLastError(static_cast<DWORD>(result));
  return result == ERROR_SUCCESS;
}

}  // namespace

bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  if (!IsPredefinedRoot(root)) return Succeeded(ERROR_INVALID_HANDLE);
  RegistryKey opened;
  if (!Succeeded(RegCreateKeyA(RootHandle(root), key.c_str(), opened.Receive()))) return false;
  return Succeeded(RegDeleteValueA(opened.Get(), value.c_str()));
}

bool DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  // Without a name below the root there is nothing to delete: never the root.
  const std::string name = WithoutTrailingBackslashes(key);
  if (name.empty() || !IsPredefinedRoot(root)) return Succeeded(ERROR_INVALID_HANDLE);
  RegistryKey connected;
  if (!Succeeded(RegConnectRegistryA("", RootHandle(root), connected.Receive()))) return false;
  return Succeeded(RegDeleteKeyA(connected.Get(), name.c_str()));
}
