#include "external/program_runner.h"

#include "text/text.h"

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

WaitPolicy WaitPolicyFor(ProgramKind kind, bool unattended, uint32_t limit_seconds, bool elevated) {
  WaitPolicy policy{};
  // Beyond 49 days of milliseconds a limit is as good as none.
  constexpr uint32_t kLongestLimit = 0xFFFFFFFEu / 1000;
  policy.rule.limit_ms = unattended ? (limit_seconds > kLongestLimit ? kLongestLimit : limit_seconds) * 1000 : 0;
  policy.rule.shell = !unattended && !elevated && kind != ProgramKind::kLibrary && kind != ProgramKind::kScript;
  policy.outliving_ends_the_run = kind == ProgramKind::kBeforeUninstall;
  return policy;
}

std::string ExplorerFolderParameter(const std::string& folder) {
  const std::string bare = WithoutTrailingBackslashes(folder);
  if (!bare.empty() && bare.back() == ':') return bare + "\\";
  return "\"" + bare + "\"";
}
