#include "removal/self_delete_batch.h"

#include "text/text.h"

namespace {

// cmd.exe expands %NAME% even inside quotes; doubled, a percent sign stays itself.
std::string ForBatch(const std::string& path) { return ReplaceAll(path, "%", "%%"); }

constexpr int kAttempts = 60;

}  // namespace

std::string SelfDeleteBatchPath(const std::string& exe) {
  if (exe.empty()) return std::string();
  const char drive = exe[0];
  const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
  return letter ? std::string(1, drive) + ":\\~~uninst.bat" : std::string();
}

std::string SelfDeleteBatchText(const std::string& exe, const std::string& own_directory) {
  const std::string quoted_exe = "\"" + ForBatch(exe) + "\"";
  std::string dir = own_directory;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  std::string text;
  // One batch line per source line; adjacent literals join on purpose.
  // clang-format off
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  AppendTexts(text, {
      "cd \\\r\n"
      "set /a qm_attempts=0\r\n"
      ":DeleteFile\r\n"
      "del ", quoted_exe, "\r\n"
      "if not exist ", quoted_exe, " goto RemoveDirectory\r\n"
      "set /a qm_attempts+=1\r\n"
      "if %qm_attempts% geq ", DecimalText(kAttempts), " goto RemoveDirectory\r\n"
      "ping -n 2 127.0.0.1 >nul\r\n"
      "goto DeleteFile\r\n"
      ":RemoveDirectory\r\n"});
  // NOLINTEND(bugprone-suspicious-missing-comma)
  // clang-format on
  if (!dir.empty()) AppendTexts(text, {"rd \"", ForBatch(dir), "\"\r\n"});
  // One line, parsed whole before it runs: once the file is gone cmd.exe reads
  // nothing more from its path, where a newer batch may already stand.
  AppendTexts(text, {"del ", ForBatch(SelfDeleteBatchPath(exe)), " & exit\r\n"});
  return text;
}
