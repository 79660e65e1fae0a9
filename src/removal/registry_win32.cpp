#include <windows.h>

#include <algorithm>
#include <cstring>

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

// A key of a predefined root, opened to read its values; false when absent.
bool OpenToRead(RegistryRoot root, const std::string& key, RegistryKey& opened) {
  return IsPredefinedRoot(root) &&
         RegOpenKeyExA(RootHandle(root), key.c_str(), 0, KEY_QUERY_VALUE, opened.Receive()) == ERROR_SUCCESS;
}

}  // namespace

bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value, std::string& text) {
  text.clear();
  RegistryKey opened;
  DWORD type = 0, size = 0;
  if (!OpenToRead(root, key, opened) ||
      RegQueryValueExA(opened.Get(), value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    text.resize(size + 1);
    if (RegQueryValueExA(opened.Get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &size) !=
        ERROR_SUCCESS) {
      size = 0;
    }
    text.resize(std::min<size_t>(size, std::strlen(text.c_str())));
  }
  return true;
}

KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) {
  RegistryKey opened;
  KeyHolds holds;
  DWORD subkeys = 0, values = 0;
  holds.exists = OpenToRead(root, key, opened) &&
                 RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  holds.values = values;
  holds.subkeys = subkeys;
  return holds;
}

bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) {
  static constexpr REGSAM kAccess[] = {KEY_SET_VALUE, KEY_CREATE_SUB_KEY, DELETE};
  static_assert(sizeof(kAccess) / sizeof(kAccess[0]) == static_cast<size_t>(RegistryChange::kKey) + 1,
                "an access for every change");
  RegistryKey opened;
  return !IsPredefinedRoot(root) ||
         RegOpenKeyExA(RootHandle(root), key.c_str(), 0, kAccess[static_cast<size_t>(change)], opened.Receive()) !=
             ERROR_ACCESS_DENIED;
}

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
