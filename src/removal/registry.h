// The only ways in which the uninstaller changes the registry: one value, or
// one key without subkeys, at a time.
#pragma once

#include <cstdint>
#include <string>

// A predefined root key, carried as the 32-bit value of its handle.
using RegistryRoot = uint32_t;
constexpr RegistryRoot kClassesRoot = 0x80000000u;
constexpr RegistryRoot kCurrentUser = 0x80000001u;
constexpr RegistryRoot kLocalMachine = 0x80000002u;

// The predefined roots the program works in: classes root, current user,
// local machine, users and current configuration. Any other number, however
// it came into a record, names no root: the primitives then change nothing
// and never touch a handle of the process.
bool IsPredefinedRoot(RegistryRoot root);

// Opens the key, creating it and any missing key on its path, and deletes the
// named value (empty: the default value). True if the value was deleted.
bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value);

// Deletes the key with its values; a key with subkeys stays, and a root itself
// is never deleted. True if the key was deleted.
bool DeleteRegistryKey(RegistryRoot root, const std::string& key);

// The product's own key below HKEY_CURRENT_USER, and the common key above it.
constexpr char kProductKeyParent[] = "SOFTWARE\\Quillmarn\\";
std::string ProductKeyPath(const std::string& guid);

// The program's entry in the list of installed programs, below HKEY_LOCAL_MACHINE.
std::string UninstallKeyPath(const std::string& registration_name);
