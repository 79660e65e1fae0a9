// The lines of the log that /LOG asks for: one per action, with its outcome,
// as 8-bit text. The platform adds the time and writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/run_platform.h"
#include "removal/change_log.h"

// "program C:\x.exe /a: exit code 0", or what else became of it: still
// running at the timeout, or no program where the shell was not to be asked;
// told (a plan's): what would be started.
std::string ProgramLine(const std::string& program, const std::string& parameters, const ProgramOutcome& outcome,
                        const WaitRule& rule, bool told);

// "self-deleting batch: started, <path>", or that it could not be; told:
// what it would remove.
std::string BatchLine(const std::string& batch, bool told, const std::string& program_file,
                      const std::string& own_directory);

// "status: <text>", what the window shows, where there is one.
std::string StatusLogLine(const std::string& text);

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
