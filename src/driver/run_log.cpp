#include "driver/run_log.h"

#include <cstring>

#include "external/program_runner.h"
#include "text/text.h"

namespace {

// The number in width digits, zeros in front, into the buffer's end.
void PutDigits(char* end, int width, int number) {
  for (int i = 1; i <= width; ++i, number /= 10) end[-i] = static_cast<char>('0' + number % 10);
}

}  // namespace

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

std::string ProgramLine(const std::string& program, const std::string& parameters, const ProgramOutcome& outcome,
                        const WaitRule& rule, bool told) {
  std::string line = JoinTexts({"program ", program, " ", parameters, ": "});
  const bool document = rule.documents != DocumentOpening::kNone && !NamesAProgram(program);
  if (told) {
    line += outcome.not_a_program ? "not a program, would be opened by the machine's class for its type"
            : document            ? "would be opened through the shell; what it changes itself is not in this plan"
                                  : "would run; what it changes itself is not in this plan";
  } else if (outcome.outlived) {
    AppendTexts(line, {"still running after the timeout of ", DecimalText(static_cast<int32_t>(rule.timeout_ms / 1000)),
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

std::string BatchLine(const std::string& batch, bool told, const std::string& program_file,
                      const std::string& own_directory) {
  if (told) {
    return JoinTexts(
        {"self-deleting batch: would remove ", program_file,
         own_directory.empty() ? std::string_view() : ", then the directory when it is empty: ", own_directory});
  }
  return batch.empty() ? "self-deleting batch: could not be written or started; the program file stays where it is, "
                         "and the batch's folder is gone"
                       : "self-deleting batch: started, " + batch;
}

std::string StatusLogLine(const std::string& text) { return JoinTexts({"status:", text}); }
