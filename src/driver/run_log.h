// The lines of the log that /LOG asks for: one per action, with its outcome,
// as 8-bit text. The platform adds the time and writes them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/run_platform.h"

// What became of an action, by the platform's error number (0: it was done).
std::string OutcomeText(uint32_t error);

// "delete file C:\x.dll: in use" and the like.
std::string ActionLine(const std::string& action, const std::string& subject, uint32_t error);

// What became of one entry of the installation: "in use", "passed over, it
// leads through a directory link" and the like.
std::string OutcomeWords(const EntryReport& report);

// "delete file C:\x.dll: in use", "remove directory C:\d: passed over, ..."
// and the like, for one entry of the installation.
std::string EntryLine(const EntryReport& report);

// The short name of a registry root ("HKLM"), or its number.
std::string RootName(RegistryRoot root);

// A line's time: "2026-12-07 19:30:01".
std::string LogTime(const LocalTime& time);

// The name of a log that /LOG alone asks for: the product, then the time,
// with every character a file name may not hold replaced.
std::string DefaultLogName(const std::string& product, const LocalTime& time);
