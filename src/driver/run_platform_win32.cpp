#include "driver/run_platform_win32.h"

#include "driver/run_log.h"
#include "external/program_runner_win32.h"
#include "external/running_program_win32.h"
#include "platform/owners_win32.h"
#include "platform/paths_win32.h"
#include "privileges/administrator_win32.h"
#include "removal/file_system.h"
#include "removal/registry.h"
#include "removal/self_delete_batch.h"
#include "settings/settings_file_win32.h"
#include "text/text.h"
#include "ui/message_box.h"

HeldFileBytes Win32RunPlatform::ReadHeldFile(const std::string& path) { return DiskFiles().ReadHeldFile(path); }
std::string Win32RunPlatform::ModulePath() { return ::ModulePath(); }
std::string Win32RunPlatform::CurrentDirectory() { return ::CurrentDirectory(); }
std::vector<std::string> Win32RunPlatform::ShellFolders() { return ::ShellFolders(); }
std::string Win32RunPlatform::TempDirectory() { return ::TempDirectory(); }

LocalTime Win32RunPlatform::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool Win32RunPlatform::OpenLog(const std::string& path) {
  // Appended to, shared with readers, and never deleted while it is open.
  log_.Reset(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  return log_.Valid();
}

void Win32RunPlatform::Log(const std::string& line) {
  if (!log_.Valid()) return;
  const DWORD error = GetLastError();
  const std::string text = JoinTexts({LogTime(Now()), " ", line, "\r\n"});
  DWORD written = 0;
  WriteFile(log_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  SetLastError(error);
}

bool Win32RunPlatform::Logged(bool done, const char* action, const std::string& subject) {
  if (log_.Valid()) Log(ActionLine(action, subject, done ? 0 : GetLastError()));
  return done;
}

bool Win32RunPlatform::OpenWindow() { return window_.Open(); }
void Win32RunPlatform::HideDeleteAllOption() { window_.HideDeleteAllOption(); }
int Win32RunPlatform::WaitForControl() { return window_.WaitForControl(); }
void Win32RunPlatform::CloseWindow() { window_.Abandon(); }

bool Win32RunPlatform::IsAdministrator() { return ::IsAdministrator(); }
void Win32RunPlatform::RunLogonDialog() { logon_ = ::RunLogonDialog(window_.Texts()); }
void Win32RunPlatform::EndImpersonation() { ::EndImpersonation(logon_); }

void Win32RunPlatform::EnterRemovingState() { window_.EnterRemovingState(); }
bool Win32RunPlatform::IsDeleteAllChecked() { return window_.IsDeleteAllChecked(); }
void Win32RunPlatform::ShowStatus(const std::string& text) {
  window_.Status().Show(text);
  window_.KeepAnswering();
  if (log_.Valid()) Log(JoinTexts({"status:", text}));
}
void Win32RunPlatform::ShowProgress(size_t done, size_t total) { window_.ShowProgress(done, total); }
void Win32RunPlatform::EndRemovingState(bool offer_details) { window_.EndRemovingState(offer_details); }
void Win32RunPlatform::ShowDetails(const std::string& text, const std::string& folder) {
  window_.ShowDetails(text, folder);
}
std::vector<std::string> Win32RunPlatform::EntriesOf(const std::string& directory) { return ::EntriesOf(directory); }
void Win32RunPlatform::FinishStep() { window_.Flush(false); }

void Win32RunPlatform::ShowMessage(const std::string& caption, const std::string& text, unsigned style) {
  window_.Flush(true);
  ::ShowMessage(caption, text, style);
}

bool Win32RunPlatform::FileExists(const std::string& path) { return ::FileExists(path); }
Outcome Win32RunPlatform::RemoveAbsolute(const std::string& path, bool directory) {
  EntryReport report;
  report.path = path;
  report.directory = directory;
  report.outcome = ::RemoveAbsolute(path, directory);
  Log(EntryLine(report));
  return report.outcome;
}
bool Win32RunPlatform::HoldInstallation(const std::string& own_directory, const std::vector<std::string>& kept) {
  return installation_.Hold(own_directory, kept);
}
Outcome Win32RunPlatform::RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) {
  return installation_.Remove(relative, how, listener);
}
void Win32RunPlatform::ReleaseInstallation() { installation_.Release(); }

bool Win32RunPlatform::DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  return Logged(::DeleteRegistryValue(root, key, value), "delete registry value",
                JoinTexts({RootName(root), "\\", key, "|", value}));
}

bool Win32RunPlatform::DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  return Logged(::DeleteRegistryKey(root, key), "delete registry key", JoinTexts({RootName(root), "\\", key}));
}

void Win32RunPlatform::StartSelfDeleteBatch(const std::string& own_directory) {
  const std::string bat = ::StartSelfDeleteBatch(own_directory);
  Log(JoinTexts({"self-deleting batch: ", bat.empty() ? "could not be written or started" : "started, ", bat}));
}

ProgramOutcome Win32RunPlatform::RunProgram(const std::string& program, const std::string& parameters,
                                            const std::string& working_directory) {
  // The program may take long: the window and its line must be on the screen meanwhile.
  window_.Flush(true);
  const ProgramOutcome outcome = RunProgramAndWait(program, parameters, working_directory);
  Log(JoinTexts({"run program ", program, " ", parameters, ": ",
                 outcome.started ? "exit code " : "could not be started",
                 outcome.started ? DecimalText(static_cast<int32_t>(outcome.exit_code)) : std::string()}));
  return outcome;
}

uint32_t Win32RunPlatform::VersionWord() { return GetVersion(); }
bool Win32RunPlatform::MutexInUse(const std::string& name) { return ::MutexInUse(name); }
std::vector<std::string> Win32RunPlatform::RunningExecutables() { return ::RunningExecutables(); }

bool Win32RunPlatform::ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) {
  FileHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || static_cast<ULONGLONG>(size.QuadPart) > max_bytes) {
    return false;
  }
  std::string buffer(65536, '\0');
  DWORD read = 0;
  while (ReadFile(file.Get(), &buffer[0], static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
    // A file that grows while it is read is held to the same bound.
    if (bytes.size() + read > max_bytes) return false;
    bytes.append(buffer, 0, read);
  }
  return true;
}

void Win32RunPlatform::RunScript(const std::string& language, const std::string& text) {
  if (script_host_ == nullptr) {
    own_script_host_.reset(new ScriptHost());
    script_host_ = own_script_host_.get();
  }
  const bool ran = script_host_->Run(language, text);
  Log(JoinTexts({"run ", language, " script: ", ran ? "ran" : "no script host, or it outlived the wait"}));
}
