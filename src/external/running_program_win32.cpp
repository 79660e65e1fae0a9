#include "external/running_program_win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include "platform/owners_win32.h"

namespace {

template <typename Function>
Function Lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool MutexInUse(const std::string& name) {
  KernelHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<std::string> RunningExecutables() {
  using Snapshot = HANDLE(WINAPI*)(DWORD, DWORD);
  using Walk = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32);
  std::vector<std::string> names;
  Library kernel(LoadLibraryA("Kernel32.dll"));
  if (!kernel.Valid()) return names;
  const auto snapshot = Lookup<Snapshot>(kernel.Get(), "CreateToolhelp32Snapshot");
  const auto first = Lookup<Walk>(kernel.Get(), "Process32First");
  const auto next = Lookup<Walk>(kernel.Get(), "Process32Next");
  if (snapshot == nullptr || first == nullptr || next == nullptr) return names;
  FileHandle processes(snapshot(TH32CS_SNAPPROCESS, 0));
  if (!processes.Valid()) return names;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = first(processes.Get(), &entry); more; more = next(processes.Get(), &entry)) {
    // The name ends at its NUL, and at the end of the field at the latest.
    entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
    names.emplace_back(entry.szExeFile);
  }
  return names;
}
