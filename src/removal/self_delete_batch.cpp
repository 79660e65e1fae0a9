#include "removal/self_delete_batch.h"

#include <cstring>

#include "settings/settings.h"
#include "text/text.h"

namespace {

constexpr int kAttempts = 60;

// Stands in a batch unquoted and means only itself to cmd.exe.
bool IsPlain(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text) {
    const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alphanumeric && std::strchr("\\:._~-", c) == nullptr) return false;
  }
  return true;
}

// The home's own name, which the batch and its command line use from the
// home's parent.
std::string HomeName(const std::string& home) { return FileNameOf(WithoutTrailingBackslashes(home)); }

void AppendVariable(std::string& block, const char* name, const std::string& value) {
  if (value.empty()) return;
  AppendTexts(block, {name, "=", value});
  block += '\0';
}

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

std::string BatchParent(bool elevated, const std::string& temp_directory, const std::string& windows_directory) {
  if (!elevated) return temp_directory;
  return windows_directory.empty() ? std::string() : WithTrailingBackslash(windows_directory) + "Temp\\";
}

std::string BatchDirectoryRights(const std::string& user_sid) {
  return "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;" + user_sid + ")";
}

std::string BatchCommandLine(const std::string& home) {
  return JoinTexts({"cmd.exe /d /q /e:on /v:off /c ", HomeName(home), "\\", kSelfDeleteBatchName});
}

std::string RetiredPath(Retired where, const std::string& exe, const std::string& home, uint32_t process_id) {
  const std::string name = RetiredExecutableName(process_id);
  return where == Retired::kIntoHome ? WithTrailingBackslash(home) + name : DirectoryOf(exe) + name;
}

SelfDeleteTarget SelfDeleteTargetFor(Retired where, const std::string& exe, const std::string& home,
                                     const std::string& own_directory, uint32_t process_id) {
  SelfDeleteTarget target;
  if (where == Retired::kIntoHome) {
    target.file = HomeName(home) + "\\" + RetiredExecutableName(process_id);
    return target;
  }
  target.file = where == Retired::kBesideItself ? RetiredPath(where, exe, home, process_id) : exe;
  if (where == Retired::kNowhere) target.settings = SettingsPathFor(DirectoryOf(exe));
  target.directory = own_directory;
  return target;
}

std::string SelfDeleteEnvironment(const SelfDeleteTarget& target, const std::string& windows_directory) {
  std::string block;
  AppendVariable(block, "QM_FILE", target.file);
  AppendVariable(block, "QM_DIRECTORY", WithoutTrailingBackslashes(target.directory));
  AppendVariable(block, "QM_SETTINGS", target.settings);
  AppendVariable(block, "SystemRoot", windows_directory);
  block += '\0';
  return block;
}

std::string SelfDeleteBatchText(const SelfDeleteTarget& target, const std::string& system_directory,
                                const std::string& home_path) {
  const std::string home = HomeName(home_path);
  if (!IsPlain(system_directory) || !IsPlain(home)) return std::string();
  const std::string system = WithoutTrailingBackslashes(system_directory);
  const bool guarded = target.guard_size != 0;
  std::string text;
  // One batch line per source line; adjacent literals join on purpose.
  // clang-format off
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  AppendTexts(text, {"@echo off\r\n"});
  // The file's time as the batch found it, while the program still ran.
  if (guarded) AppendTexts(text, {"for %%F in (\"%QM_FILE%\") do set \"qm_time=%%~tF\"\r\n"});
  AppendTexts(text, {
      "set /a qm_attempts=0\r\n"
      ":DeleteFile\r\n"
      "if not exist \"%QM_FILE%\" goto RemoveDirectory\r\n"});
  if (guarded) {
    AppendTexts(text, {
        "if exist \"%QM_SETTINGS%\" goto RemoveDirectory\r\n"
        "set qm_same=\r\n"
        "for %%F in (\"%QM_FILE%\") do if \"%%~zF %%~tF\"==\"", DecimalText(static_cast<int32_t>(target.guard_size)),
        " %qm_time%\" set qm_same=1\r\n"
        "if not defined qm_same goto RemoveDirectory\r\n"});
  }
  AppendTexts(text, {
      "del /f /q \"%QM_FILE%\"\r\n"
      "if not exist \"%QM_FILE%\" goto RemoveDirectory\r\n"
      "set /a qm_attempts+=1\r\n"
      "if %qm_attempts% geq ", DecimalText(kAttempts), " goto RemoveDirectory\r\n",
      system, "\\ping.exe -n 2 127.0.0.1 >nul\r\n"
      "goto DeleteFile\r\n"
      ":RemoveDirectory\r\n"});
  if (!target.directory.empty()) AppendTexts(text, {"rd \"%QM_DIRECTORY%\"\r\n"});
  // One line, parsed whole before it runs: the batch and its home go. Where
  // cmd.exe holds its batch open until it ends (Wine does), the empty home
  // is left to a second command processor a moment later.
  AppendTexts(text, {
      "rd /s /q ", home, " & if exist ", home, " start \"\" /b ", system, "\\cmd.exe /d /q /c \"",
      system, "\\ping.exe -n 2 127.0.0.1 >nul & rd /s /q ", home, "\" & exit\r\n"});
  // NOLINTEND(bugprone-suspicious-missing-comma)
  // clang-format on
  return text;
}
