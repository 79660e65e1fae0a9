#include "external/program_runner_win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/messages_win32.h"
#include "platform/owners_win32.h"
#include "platform/paths_win32.h"

namespace {

// The run record: a process to wait for, or none when the shell handed a
// document to an application that was already running.
class ProgramRun {
 public:
  explicit ProgramRun(HANDLE process) : process_(process) {}
  // The program may take long: the window answers meanwhile. False when
  // it still runs at the limit (0: none).
  bool WaitForEnd(uint32_t timeout_ms) const { return !process_.Valid() || WaitAnswering(process_.Get(), timeout_ms); }
  uint32_t ExitCode() const {
    DWORD code = 0;
    if (process_.Valid()) GetExitCodeProcess(process_.Get(), &code);
    return code;
  }

 private:
  KernelHandle process_;
};

bool StartProcess(const std::string& program, const std::string& parameters, const std::string& directory,
                  HANDLE& process) {
  std::string command = CommandLineFor(program, parameters);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    return false;
  }
  const KernelHandle thread(info.hThread);
  process = info.hProcess;
  return true;
}

bool OpenThroughShell(const char* verb, const std::string& program, const std::string& parameters,
                      const std::string& directory, HANDLE& process) {
  const std::string shell_directory = ShellDirectoryFor(program, directory);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  // No error box of the shell's own: a program that cannot be opened is
  // passed over silently, and an unattended run must not stop on a dialog.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = verb;
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = shell_directory.empty() ? nullptr : shell_directory.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ExecuteThroughShell(info)) return false;
  process = info.hProcess;
  return true;
}

ProgramOutcome WaitedFor(HANDLE process, uint32_t timeout_ms) {
  const ProgramRun run(process);
  ProgramOutcome outcome;
  outcome.started = true;
  outcome.outlived = !run.WaitForEnd(timeout_ms);
  if (!outcome.outlived) outcome.exit_code = run.ExitCode();
  return outcome;
}

}  // namespace

ProgramOutcome RunProgramAndWait(const std::string& program, const std::string& parameters,
                                 const std::string& working_directory, const WaitRule& rule) {
  HANDLE process = nullptr;
  if (!StartProcess(program, parameters, working_directory, process)) {
    const bool shell = rule.documents == DocumentOpening::kShell;
    ProgramOutcome refused;
    refused.not_a_program = !shell;
    if (!shell || !OpenThroughShell("Open", program, parameters, working_directory, process)) return refused;
  }
  return WaitedFor(process, rule.timeout_ms);
}

bool OpenFolderWindow(const std::string& folder) {
  HANDLE process = nullptr;
  if (!StartProcess(WindowsDirectory() + "\\explorer.exe", ExplorerFolderParameter(folder), std::string(), process)) {
    return false;
  }
  const KernelHandle started(process);
  return true;
}

ProgramOutcome RunElevatedAndWait(const std::string& program, const std::string& parameters,
                                  const std::string& working_directory) {
  HANDLE process = nullptr;
  if (!OpenThroughShell("runas", program, parameters, working_directory, process)) return ProgramOutcome{};
  return WaitedFor(process, 0);
}
