// The lines of the log that /LOG asks for: one per action, with its outcome,
// as 8-bit text. The platform adds the time and writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/run_platform.h"

// What became of an action, by the platform's error number (0: it was done).
std::string OutcomeText(uint32_t error);

// "delete file C:\x.dll: in use" and the like.
std::string ActionLine(const std::string& action, const std::string& subject, bool done, uint32_t error);

// What became of one entry of the installation: "in use", "passed over, it
// leads through a directory link" and the like.
std::string OutcomeWords(const EntryReport& report);

// "delete file C:\x.dll: in use", "remove directory C:\d: passed over, ..."
// and the like, for one entry of the installation; in a plan, "file
// C:\x.dll: would stay, in use" and the like.
std::string EntryLine(const EntryReport& report, bool planned = false);

// A line of a plan: what a step would act on, and "would be removed",
// "absent", or "would stay, " and the outcome's words.
std::string PlanLine(std::string_view subject, const EntryReport& report);

// "run program C:\x.exe /a: exit code 0", or what else became of it: still
// running when the rule's limit ran out, or no program where the shell was
// not to be asked.
std::string ProgramLine(const std::string& program, const std::string& parameters, const ProgramOutcome& outcome,
                        const WaitRule& rule);

// The short name of a registry root ("HKLM"), or its number.
std::string RootName(RegistryRoot root);

// A line's time: "2026-12-07 19:30:01".
std::string LogTime(const LocalTime& time);

// The name of a log that /LOG alone asks for: the product, the time and a
// number nobody can foresee, with every character a file name may not hold
// replaced.
std::string DefaultLogName(const std::string& product, const LocalTime& time, uint32_t unforeseen);

// Why a /LOG path is refused before anything opens it: a device name, in any
// folder and with any extension, or the device namespace and the object
// manager's spellings ("\\.\", "\\?\", "\??\", with either slash), whose
// opening may wait forever or lead anywhere. kNone for any other path; what opens as a
// device all the same is refused once it is open.
LogRefusal LogPathRefusal(const std::string& path);


// The rights a new log gets: SYSTEM, the administrators and the account
// that runs the program, nobody else.
std::string LogFileRights(const std::string& user_sid);

// "it is a device" and the like.
const char* RefusalWords(LogRefusal refusal);
