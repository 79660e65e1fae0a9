// Every change the run makes to the machine by a path or a registry name,
// each with its line in the log, in one form for the run and the plan:
// "file C:\x.dll: in use", and in a plan "file C:\x.dll: would stay, in
// use". The platform only makes the change and says what became of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/run_platform.h"

// What became of an action, by the platform's error number (0: it was done).
std::string OutcomeText(uint32_t error);
// The outcome behind a platform's error number of a failed change.
RemovalResult ResultOfError(uint32_t error);

// What became of one entry: "in use", "passed over, it leads through a
// directory link" and the like.
std::string OutcomeWords(const EntryReport& report);

// "<subject>: " and what became of it; told (a plan's): "would be removed",
// "absent", or "would stay, " and the outcome's words.
std::string ChangeLine(std::string_view subject, const EntryReport& report, bool told);

// The line of one entry of the installation: "file C:\x.dll: removed",
// "directory C:\d: not empty, it holds 2 entries" and the like.
std::string EntryLine(const EntryReport& report, bool told);

// The short name of a registry root ("HKLM"), or its number.
std::string RootName(RegistryRoot root);

// A file, or an empty directory, by full path (RunFiles::RemoveAbsolute), logged.
Outcome RemoveByPath(const RunPlatform& platform, const std::string& path, bool directory);

// One registry value, or one key without subkeys, logged; true when it went.
bool DeleteValue(const RunPlatform& platform, RegistryRoot root, const std::string& key, const std::string& value);
bool DeleteKey(const RunPlatform& platform, RegistryRoot root, const std::string& key);
