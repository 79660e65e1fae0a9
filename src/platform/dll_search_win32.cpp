#include "platform/dll_search_win32.h"

#include <windows.h>

void RestrictDllSearch() {
  // A path on an empty drive must fail quietly, not ask for a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // The current directory leaves the search on every system that knows the call.
  SetDllDirectoryA("");
  // Looked up, not imported: older systems do not have it.
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto set = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
