// The only ways in which the uninstaller changes the registry: one value, or
// one key without subkeys, at a time.
#pragma once

#include <cstdint>
#include <string>

#include "platform/run_platform.h"

// Opens the key, creating it and any missing key on its path, and deletes the
// named value (empty: the default value). True if the value was deleted.
bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value);

// Deletes the key with its values; a key with subkeys stays, and a root itself
// is never deleted. True if the key was deleted.
bool DeleteRegistryKey(RegistryRoot root, const std::string& key);

// Read only: true when the value exists; text receives it when it is a string.
bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value, std::string& text);
KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key);
std::string KeyPathOf(RegistryRoot root, const std::string& key);
// False only where opening the key for that change is denied.
bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change);

// The registry refuses a key path that begins with a backslash, whatever the
// call: ERROR_BAD_PATHNAME.
constexpr uint32_t kBadPathname = 161;
bool RegistryRefusesPath(const std::string& key);

// The product's own key below HKEY_CURRENT_USER, and the common key above it.
constexpr char kProductKeyParent[] = "SOFTWARE\\Quillmarn\\";
std::string ProductKeyPath(const std::string& guid);

// The program's entry in the list of installed programs, below HKEY_LOCAL_MACHINE.
std::string UninstallKeyPath(const std::string& registration_name);
