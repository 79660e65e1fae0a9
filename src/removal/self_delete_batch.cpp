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
  std::string dir = own_directory;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  const std::string quoted_exe = "\"" + ForBatch(exe) + "\"";
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\r\n"; };
  line("cd \\");
  line("set /a qm_attempts=0");
  line(":DeleteFile");
  line("del " + quoted_exe);
  line("if not exist " + quoted_exe + " goto RemoveDirectory");
  line("set /a qm_attempts+=1");
  line("if %qm_attempts% geq " + DecimalText(kAttempts) + " goto RemoveDirectory");
  line("ping -n 2 127.0.0.1 >nul");
  line("goto DeleteFile");
  line(":RemoveDirectory");
  if (!dir.empty()) line("rd \"" + ForBatch(dir) + "\"");
  // One line, parsed whole before it runs: once the file is gone cmd.exe reads
  // nothing more from its path, where a newer batch may already stand.
  line("del " + ForBatch(SelfDeleteBatchPath(exe)) + " & exit");
  return text;
}
