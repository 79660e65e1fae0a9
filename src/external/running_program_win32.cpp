#include "external/running_program_win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include "platform/owners_win32.h"

bool MutexInUse(const std::string& name) {
  // Looked up, never made; one that is there but denies access is there all the same.
  const KernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
  return mutex.Valid() || GetLastError() == ERROR_ACCESS_DENIED;
}

std::vector<std::string> RunningExecutables() {
  std::vector<std::string> names;
  FileHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!processes.Valid()) return names;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(processes.Get(), &entry); more; more = Process32Next(processes.Get(), &entry)) {
    // The name ends at its NUL, and at the end of the field at the latest.
    entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
    names.emplace_back(entry.szExeFile);
  }
  return names;
}
