#include "removal/self_delete_batch.h"

#include "text/text.h"

namespace {

// cmd.exe expands %NAME% even inside quotes; doubled, a percent sign stays itself.
std::string ForBatch(const std::string& path) { return ReplaceAll(path, "%", "%%"); }

constexpr int kAttempts = 60;

}  // namespace

std::string RetiredExecutableName(uint32_t process_id) {
  return "~~uninst" + DecimalText(static_cast<int32_t>(process_id)) + ".tmp";
}

std::string BatchDirectoryName(const uint8_t (&random)[8]) {
  std::string name = kBatchDirectoryPrefix;
  for (const uint8_t byte : random) {
    name += "0123456789abcdef"[byte >> 4];
    name += "0123456789abcdef"[byte & 15];
  }
  return name;
}

std::string BatchDirectoryRights(const std::string& user_sid) {
  return "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;" + user_sid + ")";
}

std::string BatchCommandLine(const std::string& bat) { return "cmd.exe /d /q /c \"\"" + bat + "\"\""; }

std::string SelfDeleteBatchText(const std::string& target, const std::string& directory) {
  const std::string quoted_target =
      target.find('\\') == std::string::npos ? "\"%~dp0" + target + "\"" : "\"" + ForBatch(target) + "\"";
  std::string dir = directory;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  std::string text;
  // One batch line per source line; adjacent literals join on purpose.
  // clang-format off
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  AppendTexts(text, {
      "@echo off\r\n"
      "set /a qm_attempts=0\r\n"
      ":DeleteFile\r\n"
      "del /f /q ", quoted_target, "\r\n"
      "if not exist ", quoted_target, " goto RemoveDirectory\r\n"
      "set /a qm_attempts+=1\r\n"
      "if %qm_attempts% geq ", DecimalText(kAttempts), " goto RemoveDirectory\r\n"
      "\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
      "goto DeleteFile\r\n"
      ":RemoveDirectory\r\n"});
  if (!dir.empty()) AppendTexts(text, {"rd \"", ForBatch(dir), "\"\r\n"});
  // One line, parsed whole before it runs: the batch and its directory go.
  // Where cmd.exe holds its batch open until it ends (Wine does), the empty
  // directory is left to a second command processor a moment later.
  AppendTexts(text, {
      "rd /s /q \"%~dp0\" & if exist \"%~dp0\" start \"\" /b \"%SystemRoot%\\System32\\cmd.exe\" /d /q /c "
      "\"%SystemRoot%\\System32\\ping.exe -n 2 127.0.0.1 >nul & rd /s /q \"%~dp0\"\" & exit\r\n"});
  // NOLINTEND(bugprone-suspicious-missing-comma)
  // clang-format on
  return text;
}
