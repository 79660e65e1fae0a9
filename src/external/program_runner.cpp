#include "external/program_runner.h"

std::string CommandLineFor(const std::string& program, const std::string& parameters) {
  std::string command = !program.empty() && program[0] == '"' ? program : "\"" + program + "\"";
  if (!parameters.empty()) command += " " + parameters;
  return command;
}

std::string ShellDirectoryFor(const std::string& program, const std::string& working_directory) {
  if (!working_directory.empty()) return working_directory;
  const size_t slash = program.rfind('\\');
  return slash == std::string::npos || slash == 0 ? std::string() : program.substr(0, slash + 1);
}
