#include "driver/run_platform_win32.h"

#include "driver/run_log.h"
#include "external/program_runner_win32.h"
#include "external/running_program_win32.h"
#include "platform/file_bytes_win32.h"
#include "platform/owners_win32.h"
#include "platform/paths_win32.h"
#include "platform/rights_win32.h"
#include "platform/text_win32.h"
#include "privileges/administrator_win32.h"
#include "removal/file_system.h"
#include "removal/registry.h"
#include "removal/self_delete_batch.h"
#include "settings/settings_file_win32.h"
#include "text/text.h"

// After windows.h, which it needs.
#include <ntsecapi.h>
#include "ui/message_box.h"

HeldFileBytes Win32System::ReadHeldFile(const std::string& path) { return DiskFiles().ReadHeldFile(path); }
std::string Win32System::LegacyText(std::string_view bytes) { return LegacyCodePageText(bytes); }
bool Win32System::Utf8Text(std::string_view utf8, std::string& text) { return TextOfUtf8(utf8, text); }
std::string Win32System::ModulePath() { return ::ModulePath(); }
std::string Win32System::CurrentDirectory() { return ::CurrentDirectory(); }
std::string Win32System::FullPath(const std::string& path) { return ::FullPath(path); }
ModulePathForms Win32System::ModulePathsInUtf16() {
  const std::wstring exact = ModulePathWide();
  std::wstring used;
  if (!StrictWideText(::ModulePath(), used)) used.clear();
  return {std::u16string(exact.begin(), exact.end()), std::u16string(used.begin(), used.end())};
}

bool Win32System::SameName(const std::string& a, const std::string& b) {
  const std::wstring one = WideText(a), other = WideText(b);
  return CompareStringOrdinal(one.data(), static_cast<int>(one.size()), other.data(), static_cast<int>(other.size()),
                              TRUE) == CSTR_EQUAL;
}

bool Win32System::IdentityOf(const std::string& path, FileIdentity& identity) { return IdentityAt(path, identity); }
std::vector<std::string> Win32System::ShellFolders() { return ::ShellFolders(); }
std::string Win32System::TempDirectory() { return ::TempDirectory(); }

LocalTime Win32System::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

LogRefusal Win32System::OpenLog(const std::string& path, bool fresh) {
  // Opens of a path anybody may have made are never a named pipe's chance
  // to act as the run's account.
  constexpr DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
  // Its folder first, only where its path says, held against renaming
  // while the log is open: nothing is created behind a link on the way.
  const std::string folder_path = FolderOf(path);
  log_folder_.Reset(CreateFileW(WideText(folder_path).c_str(), FILE_READ_ATTRIBUTES | FILE_TRAVERSE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation, nullptr));
  if (!log_folder_.Valid()) return LogRefusal::kUnwritable;
  if (!HandleIsAt(log_folder_.Get(), folder_path)) {
    log_folder_.Reset();
    return LogRefusal::kLink;
  }
  // Made in the folder that was checked, by its name there; appended to,
  // shared with readers, and never deleted while it is open; a link at its
  // end is opened itself, and refused.
  RestrictedRights rights(LogFileRights);
  constexpr LONG kIsADirectory = static_cast<LONG>(0xC00000BA);
  const LONG status =
      CreateFileBelow(log_folder_.Get(), WideText(FileNameOf(path)), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, fresh, rights.Get(), log_);
  BY_HANDLE_FILE_INFORMATION file;
  const LogRefusal refusal = !log_.Valid()
                                 ? (status == kIsADirectory ? LogRefusal::kDirectory : LogRefusal::kUnwritable)
                             : GetFileType(log_.Get()) != FILE_TYPE_DISK              ? LogRefusal::kDevice
                             : !GetFileInformationByHandle(log_.Get(), &file)         ? LogRefusal::kUnwritable
                             : (file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? LogRefusal::kLink
                             : (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)     ? LogRefusal::kDirectory
                             : file.nNumberOfLinks > 1                                ? LogRefusal::kOtherNames
                             : !HandleIsAt(log_.Get(), path)                          ? LogRefusal::kLink
                                                                                      : LogRefusal::kNone;
  if (refusal != LogRefusal::kNone) {
    log_.Reset();
    log_folder_.Reset();
  } else if (file.nFileSizeLow == 0 && file.nFileSizeHigh == 0) {
    // UTF-8 with its signature, which Notepad and PowerShell both read as such.
    DWORD written = 0;
    WriteFile(log_.Get(), "\xEF\xBB\xBF", 3, &written, nullptr);
  }
  return refusal;
}

std::string Win32System::SystemDirectory() { return ::SystemDirectory(); }

uint32_t Win32System::RandomNumber() {
  uint32_t number = 0;
  RtlGenRandom(&number, sizeof(number));
  return number;
}

void Win32System::TellStandardError(const std::string& line) {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Win32System::Log(const std::string& line) {
  if (!log_.Valid()) return;
  const DWORD error = GetLastError();
  const std::string text = Utf8OfText(JoinTexts({LogTime(Now()), " ", line, "\r\n"}));
  DWORD written = 0;
  WriteFile(log_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  SetLastError(error);
}

bool Win32Window::OpenWindow() { return window_.Open(); }
void Win32Window::HideDeleteAllOption() { window_.HideDeleteAllOption(); }
int Win32Window::WaitForControl() { return window_.WaitForControl(); }
void Win32Window::CloseWindow() { window_.Abandon(); }

bool Win32System::IsAdministrator() { return ::IsAdministrator(); }
bool Win32System::UacIsOn() { return ::UacIsOn(); }
ProgramOutcome Win32Processes::RunElevated(const std::string& arguments) {
  return RunElevatedAndWait(::ModulePath(), arguments, ::CurrentDirectory());
}
void Win32Processes::RunLogonDialog() { logon_ = ::RunLogonDialog(window_.Texts()); }
void Win32Processes::EndImpersonation() { ::EndImpersonation(logon_); }

void Win32Window::EnterRemovingState() { window_.EnterRemovingState(); }
bool Win32Window::IsDeleteAllChecked() { return window_.IsDeleteAllChecked(); }
void Win32Window::ShowStatus(const std::string& text) {
  window_.Status().Show(text);
  window_.KeepAnswering();
  if (system_.Logging()) system_.Log(StatusLogLine(text));
}
void Win32Window::ShowProgress(size_t done, size_t total) { window_.ShowProgress(done, total); }
void Win32Window::EndRemovingState(bool offer_details) { window_.EndRemovingState(offer_details); }
void Win32Window::ShowDetails(const std::string& text, const std::string& folder) { window_.ShowDetails(text, folder); }
std::vector<HeldEntry> Win32Files::EntriesOf(const std::string& directory) {
  return ::EntriesOf(directory, installation_.Changes());
}
void Win32Window::FinishStep() { window_.Flush(false); }

void Win32Window::ShowMessage(const std::string& caption, const std::string& text, unsigned style) {
  window_.Flush(true);
  ::ShowMessage(caption, text, style);
}

bool Win32Files::FileExists(const std::string& path) { return ::FileExists(path, installation_.Changes()); }
RemovalResult Win32Files::RemoveAbsolute(const std::string& path, bool directory) {
  return ::RemoveAbsolute(path, directory, installation_.Changes());
}
bool Win32Files::HoldInstallation(const std::string& own_directory, const std::vector<std::string>& kept) {
  return installation_.Hold(own_directory, kept);
}
Outcome Win32Files::RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) {
  return installation_.Remove(relative, how, listener);
}
void Win32Files::ReleaseInstallation() { installation_.Release(); }
void Win32Files::LookOnly() { installation_.UseChanges(planned_changes_); }

bool Win32Registry::ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                                      std::string& text) {
  return ::ReadRegistryValue(root, key, value, text);
}
KeyHolds Win32Registry::RegistryKeyHolds(RegistryRoot root, const std::string& key) {
  return ::RegistryKeyHolds(root, key);
}

std::string Win32Registry::KeyPathOf(RegistryRoot root, const std::string& key) { return ::KeyPathOf(root, key); }

bool Win32Registry::RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) {
  return ::RegistryAllows(root, key, change);
}

RemovalResult Win32Registry::DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  return ::DeleteRegistryValue(root, key, value) ? RemovalResult() : ResultOfError(GetLastError());
}

RemovalResult Win32Registry::DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  return ::DeleteRegistryKey(root, key) ? RemovalResult() : ResultOfError(GetLastError());
}

std::string Win32Processes::StartSelfDeleteBatch(const std::string& own_directory) {
  return ::StartSelfDeleteBatch(own_directory);
}

ProgramOutcome Win32Processes::RunProgram(const std::string& program, const std::string& parameters,
                                          const std::string& working_directory, const WaitRule& rule) {
  // The program may take long: the window and its line must be on the screen meanwhile.
  window_.Flush(true);
  return RunProgramAndWait(program, parameters, working_directory, rule);
}

uint32_t Win32System::VersionWord() { return GetVersion(); }
bool Win32System::MutexInUse(const std::string& name) { return ::MutexInUse(name); }
std::vector<std::string> Win32System::RunningExecutables() { return ::RunningExecutables(); }

bool Win32System::ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) {
  const FileHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  // A script read only in part is not run at all.
  return file.Valid() && ReadWholeFile(file.Get(), max_bytes, bytes);
}

ScriptOutcome Win32Processes::RunScript(const std::string& language, const std::string& text, bool quiet,
                                        uint32_t timeout_ms) {
  if (script_host_ == nullptr) {
    own_script_host_.reset(new ScriptHost());
    script_host_ = own_script_host_.get();
  }
  return script_host_->Run(language, text, !quiet, timeout_ms);
}
