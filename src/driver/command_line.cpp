#include "driver/command_line.h"

#include "text/text.h"

std::vector<std::string> SplitArguments(const std::string& command_line) {
  std::vector<std::string> arguments;
  size_t i = 0;
  // The program's own name: up to the next blank, or quoted whole.
  if (i < command_line.size() && command_line[i] == '"') {
    const size_t end = command_line.find('"', 1);
    i = end == std::string::npos ? command_line.size() : end + 1;
  }
  while (i < command_line.size() && command_line[i] != ' ' && command_line[i] != '\t') ++i;
  for (;;) {
    while (i < command_line.size() && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
    if (i >= command_line.size()) return arguments;
    std::string argument;
    bool quoted = false;
    for (; i < command_line.size(); ++i) {
      const char c = command_line[i];
      if (!quoted && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        size_t backslashes = 0;
        while (i < command_line.size() && command_line[i] == '\\') ++backslashes, ++i;
        const bool before_quote = i < command_line.size() && command_line[i] == '"';
        argument.append(before_quote ? backslashes / 2 : backslashes, '\\');
        if (before_quote && backslashes % 2 == 1) {
          argument += '"';
        } else {
          --i;  // the quote, or whatever follows, is read next
        }
        continue;
      }
      if (c == '"') {
        // A quote right after a closing one, inside quotes, stands for itself.
        if (quoted && i + 1 < command_line.size() && command_line[i + 1] == '"') {
          argument += '"';
          ++i;
          continue;
        }
        quoted = !quoted;
        continue;
      }
      argument += c;
    }
    arguments.push_back(argument);
  }
}

CommandLine ParseCommandLine(const std::string& command_line) {
  CommandLine line;
  for (const std::string& argument : SplitArguments(command_line)) {
    const bool switch_mark = argument[0] == '/' || argument[0] == '-';
    const size_t equals = argument.find('=');
    const std::string word = switch_mark ? UpperCase(argument.substr(1, equals - 1)) : std::string();
    if (equals == std::string::npos && (word == "S" || word == "SILENT" || word == "VERYSILENT")) {
      line.unattended = true;
    } else if (equals == std::string::npos && word == "PLAN") {
      line.plan = line.unattended = line.log = true;
    } else if (equals == std::string::npos && word == "ELEVATED") {
      line.elevated = true;
    } else if (word == "LOG") {
      line.log = true;
      line.log_path = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    } else {
      line.valid = false;
    }
  }
  return line;
}

std::string ElevatedArguments(const std::string& command_line) {
  // The program's name ends at its closing quote, or else at the first blank.
  size_t at = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    at = command_line.find('"', 1);
    at = at == std::string::npos ? command_line.size() : at + 1;
  }
  while (at < command_line.size() && command_line[at] != ' ' && command_line[at] != '\t') ++at;
  while (at < command_line.size() && (command_line[at] == ' ' || command_line[at] == '\t')) ++at;
  return command_line.substr(at) + (at < command_line.size() ? " /ELEVATED" : "/ELEVATED");
}

uint32_t ExitCodeFor(RunResult result, bool unattended) { return unattended ? static_cast<uint32_t>(result) : 0; }
