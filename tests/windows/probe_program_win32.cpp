// A stand-in for the installer author's programs: appends its command line and
// working directory to probe.log beside itself (or in the folder QM_PROBE_DIR
// names, which keeps an installation clean), then ends with the exit code
// asked for. /exit=N sets the code, /mutex=NAME holds that mutex and
// /sleep=MS waits before ending.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Option(const std::string& command, const std::string& name) {
  const size_t at = command.find(name);
  if (at == std::string::npos) return std::string();
  const size_t start = at + name.size();
  const size_t end = command.find(' ', start);
  return command.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

int main() {
  const std::string command = GetCommandLineA();
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string log = module;
  log = log.substr(0, log.rfind('\\') + 1);
  char elsewhere[MAX_PATH] = {};
  if (GetEnvironmentVariableA("QM_PROBE_DIR", elsewhere, MAX_PATH) > 0) log = elsewhere;
  log += "probe.log";
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  const std::string line = command + "|" + directory + "\r\n";
  HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);

  const std::string mutex = Option(command, "/mutex=");
  HANDLE held = mutex.empty() ? nullptr : CreateMutexA(nullptr, TRUE, mutex.c_str());
  const std::string sleep = Option(command, "/sleep=");
  if (!sleep.empty()) Sleep(static_cast<DWORD>(atoi(sleep.c_str())));
  if (held != nullptr) CloseHandle(held);
  return atoi(Option(command, "/exit=").c_str());
}
