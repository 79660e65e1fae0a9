#include "external/program_runner.h"

#include <algorithm>

#include "text/text.h"

std::string CommandLineFor(const std::string& program, const std::string& parameters) {
  std::string command = !program.empty() && program[0] == '"' ? program : "\"" + program + "\"";
  if (!parameters.empty()) command += " " + parameters;
  return command;
}

std::vector<std::string> CommandProgramCandidates(const std::string& command) {
  const std::string line = command.substr(std::min(command.size(), command.find_first_not_of(" \t")));
  if (line.empty()) return {};
  if (line[0] == '"') {
    const size_t end = line.find('"', 1);
    const std::string program = line.substr(1, end == std::string::npos ? end : end - 1);
    return program.empty() ? std::vector<std::string>() : std::vector<std::string>{program};
  }
  // The arguments begin at a tab or a quote at the latest.
  const std::string words = line.substr(0, line.find_first_of("\t\""));
  std::vector<std::string> candidates;
  for (size_t blank = words.find(' '); blank != std::string::npos; blank = words.find(' ', blank + 1)) {
    if (blank > 0 && words[blank - 1] != ' ') candidates.push_back(words.substr(0, blank));
  }
  const std::string whole = words.substr(0, words.find_last_not_of(' ') + 1);
  if (candidates.empty() || candidates.back() != whole) candidates.push_back(whole);
  return candidates;
}

StartedCommand ProgramOfCommand(const std::string& command, RunFiles& files) {
  const std::vector<std::string> candidates = CommandProgramCandidates(command);
  const std::string line = command.substr(std::min(command.size(), command.find_first_not_of(" \t")));
  const bool quoted = !line.empty() && line[0] == '"';
  // Where each candidate's arguments begin.
  const auto after = [&](const std::string& candidate) {
    const size_t end = quoted ? line.find('"', 1) : candidate.size();
    const std::string rest = end == std::string::npos ? std::string() : line.substr(quoted ? end + 1 : end);
    return rest.substr(std::min(rest.size(), rest.find_first_not_of(" \t")));
  };
  for (const std::string& candidate : candidates) {
    if (files.FileExists(candidate)) return {candidate, after(candidate)};
    if (ExtensionOf(candidate).empty() && files.FileExists(candidate + ".exe")) {
      return {candidate + ".exe", after(candidate)};
    }
  }
  // None is there: the program named beyond doubt, quoted or without a
  // blank; which one an unquoted command with blanks meant, nobody can say.
  if (candidates.size() == 1) return {candidates.front(), after(candidates.front())};
  return {};
}

std::string ShellDirectoryFor(const std::string& program, const std::string& working_directory) {
  if (!working_directory.empty()) return working_directory;
  const size_t slash = program.rfind('\\');
  return slash == std::string::npos || slash == 0 ? std::string() : program.substr(0, slash + 1);
}

bool IsHook(ProgramKind kind) { return kind == ProgramKind::kBeforeUninstall || kind == ProgramKind::kAfterUninstall; }

WaitPolicy WaitPolicyFor(ProgramKind kind, bool unattended, uint32_t timeout_seconds, bool elevated) {
  WaitPolicy policy{};
  // Beyond 49 days of milliseconds a limit is as good as none.
  constexpr uint32_t kLongestTimeout = 0xFFFFFFFEu / 1000;
  policy.rule.timeout_ms =
      unattended ? (timeout_seconds > kLongestTimeout ? kLongestTimeout : timeout_seconds) * 1000 : 0;
  policy.rule.documents = !IsHook(kind) ? DocumentOpening::kNone
                          : elevated    ? DocumentOpening::kMachineClasses
                                        : DocumentOpening::kShell;
  policy.outliving_ends_the_run = kind == ProgramKind::kBeforeUninstall;
  return policy;
}

std::string DocumentCommand(const std::string& open_command, const std::string& document,
                            const std::string& parameters) {
  std::string command;
  bool named = false, given = false;
  for (size_t i = 0; i < open_command.size(); ++i) {
    const char next = i + 1 < open_command.size() ? open_command[i + 1] : '\0';
    if (open_command[i] == '%' && (next == '1' || next == 'L' || next == 'l')) {
      command += document;
      named = true;
      ++i;
    } else if (open_command[i] == '%' && next == '*') {
      command += parameters;
      given = true;
      ++i;
    } else {
      command += open_command[i];
    }
  }
  if (!named) AppendTexts(command, {" \"", document, "\""});
  if (!given && !parameters.empty()) AppendTexts(command, {" ", parameters});
  return command;
}

bool NamesAProgram(const std::string& path) {
  const std::string type = UpperCase(ExtensionOf(path));
  return type == "EXE" || type == "COM" || type == "BAT" || type == "CMD";
}

std::string ExplorerFolderParameter(const std::string& folder) {
  const std::string bare = WithoutTrailingBackslashes(folder);
  if (!bare.empty() && bare.back() == ':') return bare + "\\";
  return "\"" + bare + "\"";
}
