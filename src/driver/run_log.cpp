#include "driver/run_log.h"

#include <cstring>

#include "text/text.h"

namespace {

// The number in width digits, zeros in front, into the buffer's end.
void PutDigits(char* end, int width, int number) {
  for (int i = 1; i <= width; ++i, number /= 10) end[-i] = static_cast<char>('0' + number % 10);
}

}  // namespace

std::string OutcomeText(uint32_t error) {
  switch (error) {
    case 0:
      return "removed";
    case 2:  // the file, key or value
    case 3:  // the path
      return "absent";
    case 5:
      return "access denied";
    case 32:  // shared without leave to delete
    case 33:
      return "in use";
    case 145:
      return "not empty";
    case 206:
      return "path too long";
    default:
      return "error " + DecimalText(static_cast<int32_t>(error));
  }
}

std::string ActionLine(const std::string& action, const std::string& subject, bool done, uint32_t error) {
  // A failure the platform gave no number for is still a failure.
  return JoinTexts({action, " ", subject, ": ", done || error != 0 ? OutcomeText(error) : "failed"});
}

std::string OutcomeWords(const EntryReport& report) {
  std::string words = report.outcome != Outcome::kFailed ? EnglishWords(report.outcome)
                      : report.error != 0                ? OutcomeText(report.error)
                                                         : std::string("failed");
  if (report.outcome == Outcome::kNotEmpty && report.held > 0) {
    AppendTexts(words, {", it holds ", DecimalText(static_cast<int32_t>(report.held)),
                        report.held == 1 ? " entry" : " entries"});
  }
  return words;
}

std::string EntryLine(const EntryReport& report, bool planned) {
  if (planned) return PlanLine(JoinTexts({report.directory ? "directory " : "file ", report.path}), report);
  return JoinTexts({report.directory ? "remove directory " : "delete file ", report.path, ": ", OutcomeWords(report)});
}

std::string PlanLine(std::string_view subject, const EntryReport& report) {
  const std::string words = report.outcome == Outcome::kRemoved  ? "would be removed"
                            : report.outcome == Outcome::kAbsent ? "absent"
                                                                 : "would stay, " + OutcomeWords(report);
  return JoinTexts({subject, ": ", words});
}

std::string RootName(RegistryRoot root) {
  static constexpr const char* kNames[] = {"HKCR", "HKCU", "HKLM", "HKU", "", "HKCC"};
  const uint32_t index = root - kClassesRoot;
  if (IsPredefinedRoot(root)) return kNames[index];
  return DecimalText(static_cast<int32_t>(root));
}

std::string LogTime(const LocalTime& time) {
  char text[] = "0000-00-00 00:00:00";
  PutDigits(text + 4, 4, time.year);
  PutDigits(text + 7, 2, time.month);
  PutDigits(text + 10, 2, time.day);
  PutDigits(text + 13, 2, time.hour);
  PutDigits(text + 16, 2, time.minute);
  PutDigits(text + 19, 2, time.second);
  return text;
}

std::string DefaultLogName(const std::string& product, const LocalTime& time, uint32_t unforeseen) {
  char number[] = " 00000000";
  for (int i = 8; i > 0; --i, unforeseen >>= 4) number[i] = "0123456789abcdef"[unforeseen & 15];
  std::string name = JoinTexts(
      {product.empty() ? std::string_view("Quillmarn") : product, " uninstall ", LogTime(time), number, ".log"});
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr("\\/:*?\"<>|", c) != nullptr) c = '-';
  }
  return name;
}

LogRefusal LogPathRefusal(const std::string& path) {
  // A device's name is the name before any dot, colon or trailing blank.
  std::string name = UpperCase(FileNameOf(path));
  name = '|' + name.substr(0, name.find_first_of(".:"));
  while (name.back() == ' ') name.pop_back();
  constexpr char kDevices[] =
      "|CON|PRN|AUX|NUL|CONIN$|CONOUT$|CLOCK$|COM1|COM2|COM3|COM4|COM5|COM6|COM7|COM8|COM9|"
      "LPT1|LPT2|LPT3|LPT4|LPT5|LPT6|LPT7|LPT8|LPT9|";
  // The device namespace and the spellings that pass a path unchanged to
  // the object manager, with either slash.
  const std::string start = ReplaceAll(path.substr(0, 4), "/", "\\");
  const bool device_spelling = start == "\\\\.\\" || start == "\\\\?\\" || start == "\\??\\";
  return device_spelling || std::string(kDevices).find(name + '|') != std::string::npos ? LogRefusal::kDevice
                                                                                        : LogRefusal::kNone;
}

std::string LogFileRights(const std::string& user_sid) {
  return "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + user_sid + ")";
}

const char* RefusalWords(LogRefusal refusal) {
  switch (refusal) {
    case LogRefusal::kNone:
      return "";
    case LogRefusal::kUnwritable:
      return "it cannot be written";
    case LogRefusal::kDevice:
      return "it is a device";
    case LogRefusal::kDirectory:
      return "it is a directory";
    case LogRefusal::kOtherNames:
      return "the file has another name too";
    case LogRefusal::kLink:
      return "it is a link, or a folder on its way is one";
  }
  return "";
}

std::string ProgramLine(const std::string& program, const std::string& parameters, const ProgramOutcome& outcome,
                        const WaitRule& rule) {
  std::string line = JoinTexts({"run program ", program, " ", parameters, ": "});
  if (outcome.outlived) {
    AppendTexts(line, {"still running after the limit of ", DecimalText(static_cast<int32_t>(rule.limit_ms / 1000)),
                       " s: left running"});
  } else if (outcome.started) {
    AppendTexts(line, {"exit code ", DecimalText(static_cast<int32_t>(outcome.exit_code))});
  } else {
    line += !outcome.not_a_program ? "could not be started"
            : rule.documents == DocumentOpening::kMachineClasses
                ? "not a program: opened by the machine's class for its type"
                : "skipped, not a program";
  }
  return line;
}
