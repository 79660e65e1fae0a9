#include "external/running_program.h"

#include "text/text.h"

bool ProcessNameMatches(const std::string& wanted, const std::string& process_entry) {
  return TextEquals(FileNameOf(UpperCase(process_entry)), UpperCase(wanted));
}

std::string RunningProgramMessage(const std::string& mutex_text) { return ReplaceAll(mutex_text, "|", "\n"); }
