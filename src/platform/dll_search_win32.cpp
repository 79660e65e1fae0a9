#include "platform/dll_search_win32.h"

#include <windows.h>

#include <string>

#include "platform/paths_win32.h"

void* KernelProcedure(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name));
}

void* SystemProcedure(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  const std::string system = SystemDirectory();
  if (module == nullptr && !system.empty()) module = LoadLibraryA((system + "\\" + library).c_str());
  return module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

void RestrictDllSearch(ProcedureLookup lookup) {
  // A path on an empty drive must fail quietly, not ask for a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // The current directory leaves the search on every system that knows the call.
  SetDllDirectoryA("");
  // Looked up, not imported: older systems do not have them.
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  if (const auto set = reinterpret_cast<SetDirectories>(lookup("SetDefaultDllDirectories"))) {
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  using SetPolicy = BOOL(WINAPI*)(int, const void*, SIZE_T);
  if (const auto set = reinterpret_cast<SetPolicy>(lookup("SetProcessMitigationPolicy"))) {
    const DWORD flags = kEnforceRedirectionTrust;
    set(kRedirectionTrustPolicy, &flags, sizeof(flags));
  }
}
