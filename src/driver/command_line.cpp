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

namespace {

// Digits only, and few enough for any number of seconds a run may wait.
bool IsDecimalNumber(const std::string& text) {
  return !text.empty() && text.size() <= 7 && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

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
    } else if (word == "TIMEOUT" && equals != std::string::npos && IsDecimalNumber(argument.substr(equals + 1))) {
      line.timeout_seconds = static_cast<uint32_t>(ParseDecimal(argument.substr(equals + 1)));
    } else if (word == "LOG") {
      line.log = true;
      line.log_path = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    } else {
      line.valid = false;
    }
  }
  return line;
}

std::string QuotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string ElevatedArguments(const CommandLine& line, const std::string& full_log_path) {
  std::string arguments = "/ELEVATED";
  if (line.plan) {
    arguments += " /PLAN";
  } else if (line.unattended) {
    arguments += " /S";
  }
  if (line.log) arguments += " " + QuotedArgument(full_log_path.empty() ? "/LOG" : "/LOG=" + full_log_path);
  if (line.timeout_seconds != CommandLine().timeout_seconds) {
    arguments += " /TIMEOUT=" + DecimalText(static_cast<int32_t>(line.timeout_seconds));
  }
  return arguments;
}

uint32_t ExitCodeFor(RunResult result, bool unattended) { return unattended ? static_cast<uint32_t>(result) : 0; }
