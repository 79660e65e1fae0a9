#include "external/running_program.h"

#include "text/text.h"

bool ProcessNameCanMatch(const std::string& wanted) { return wanted.find_first_of("\\/") == std::string::npos; }

bool ProcessNameMatches(const std::string& wanted, const std::string& process_entry, RunSystem& system) {
  const std::string name = FileNameOf(process_entry);
  return !name.empty() && ProcessNameCanMatch(wanted) && system.SameName(name, wanted);
}

std::string RunningProgramMessage(const std::string& mutex_text) { return ReplaceAll(mutex_text, "|", "\n"); }
