#include "removal/self_delete_batch.h"

#include "text/text.h"

namespace {

// cmd.exe expands %NAME% even inside quotes; doubled, a percent sign stays itself.
std::string ForBatch(const std::string& path) { return ReplaceAll(path, "%", "%%"); }

constexpr int kAttempts = 60;

}  // namespace

std::string DriveRootOf(const std::string& exe) {
  std::string root = exe.substr(0, 2);
  const char letter = static_cast<char>(root[0] | 0x20);
  if (root.size() < 2 || root[1] != ':' || letter < 'a' || letter > 'z') return std::string();
  return root += '\\';
}

std::string RetiredExecutableName(uint32_t process_id) {
  return "~~uninst" + DecimalText(static_cast<int32_t>(process_id)) + ".tmp";
}

std::string SelfDeleteBatchText(const std::string& target, const std::string& directory, const std::string& bat) {
  const std::string quoted_target = "\"" + ForBatch(target) + "\"";
  std::string dir = directory;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  std::string text;
  // One batch line per source line; adjacent literals join on purpose.
  // clang-format off
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  AppendTexts(text, {
      "cd \\\r\n"
      "set /a qm_attempts=0\r\n"
      ":DeleteFile\r\n"
      "del ", quoted_target, "\r\n"
      "if not exist ", quoted_target, " goto RemoveDirectory\r\n"
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
  AppendTexts(text, {"del \"", ForBatch(bat), "\" & exit\r\n"});
  return text;
}
