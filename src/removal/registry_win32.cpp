#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/owners_win32.h"
#include "platform/text_win32.h"
#include "removal/file_system.h"
#include "removal/registry.h"

extern "C" LONG NTAPI NtQueryKey(HANDLE key, ULONG kind, PVOID information, ULONG length, PULONG result);

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
         RegOpenKeyExW(RootHandle(root), WideText(key).c_str(), 0, KEY_QUERY_VALUE, opened.Receive()) == ERROR_SUCCESS;
}

// The environment's variables put in, whole; the text as it stands where
// they cannot be.
std::wstring ExpandedText(const std::wstring& text) {
  std::wstring expanded(text.size() + 1, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], static_cast<DWORD>(expanded.size()));
    if (needed == 0) break;
    if (needed <= expanded.size()) return expanded.substr(0, needed - 1);
    expanded.assign(needed, L'\0');
  }
  return text;
}

}  // namespace

bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value, std::string& text) {
  text.clear();
  RegistryKey opened;
  const std::wstring name = WideText(value);
  DWORD type = 0, size = 0;
  if (!OpenToRead(root, key, opened) ||
      RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return true;
  // Read whole, however it grew since the size was asked; a string stored
  // without its terminating NUL ends where its bytes do.
  std::wstring wide;
  LONG read = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < 4 && read == ERROR_MORE_DATA; ++attempt) {
    wide.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
    read = RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&wide[0]), &size);
  }
  if (read != ERROR_SUCCESS) return true;
  wide.resize(std::min<size_t>(size / sizeof(wchar_t), std::wcslen(wide.c_str())));
  // An expandable string means what the system makes of it.
  if (type == REG_EXPAND_SZ) wide = ExpandedText(wide);
  NarrowText(wide, text);
  return true;
}

KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) {
  RegistryKey opened;
  KeyHolds holds;
  DWORD subkeys = 0, values = 0;
  holds.exists = OpenToRead(root, key, opened) &&
                 RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  holds.values = values;
  holds.subkeys = subkeys;
  return holds;
}

std::string KeyPathOf(RegistryRoot root, const std::string& key) {
  RegistryKey opened;
  if (!OpenToRead(root, key, opened)) return std::string();
  // KEY_NAME_INFORMATION: the name's length in bytes, then the name.
  constexpr ULONG kKeyNameInformation = 3;
  std::vector<ULONG> buffer(1024);
  ULONG size = 0;
  LONG status = NtQueryKey(opened.Get(), kKeyNameInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &size);
  if (status == static_cast<LONG>(0xC0000023) || status == static_cast<LONG>(0x80000005)) {  // too small
    buffer.assign(size / sizeof(ULONG) + 1, 0);
    status = NtQueryKey(opened.Get(), kKeyNameInformation, buffer.data(),
                        static_cast<ULONG>(buffer.size() * sizeof(ULONG)), &size);
  }
  if (status != 0 || buffer[0] / sizeof(wchar_t) + sizeof(ULONG) / sizeof(wchar_t) > buffer.size() * 2) {
    return std::string();
  }
  std::string name;
  NarrowText(std::wstring(reinterpret_cast<const wchar_t*>(&buffer[1]), buffer[0] / sizeof(wchar_t)), name);
  return name;
}

bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) {
  const REGSAM access = change == RegistryChange::kValue    ? KEY_SET_VALUE
                        : change == RegistryChange::kSubkey ? KEY_CREATE_SUB_KEY
                                                            : DELETE;
  RegistryKey opened;
  return !IsPredefinedRoot(root) ||
         RegOpenKeyExA(RootHandle(root), key.c_str(), 0, access, opened.Receive()) != ERROR_ACCESS_DENIED;
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
