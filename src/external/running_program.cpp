#include "external/running_program.h"

#include "text/text.h"

bool ProcessNameMatches(const std::string& wanted, const std::string& process_entry, RunSystem& system) {
  const std::string name = FileNameOf(process_entry);
  return !name.empty() && wanted.find_first_of("\\/") == std::string::npos && system.SameName(name, wanted);
}

std::string RunningProgramMessage(const std::string& mutex_text) { return ReplaceAll(mutex_text, "|", "\n"); }
