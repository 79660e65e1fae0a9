// A library for regsvr32.exe: unregistering it leaves unregistered.txt beside
// it, holding the directory regsvr32 was started in; in the folder
// QM_PROBE_DIR names instead, where the test keeps the installation clean.
#include <windows.h>

#include <string>

namespace {
HMODULE self = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() { return S_OK; }

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, MAX_PATH);
  std::string marker = path;
  marker = marker.substr(0, marker.rfind('\\') + 1);
  char elsewhere[MAX_PATH] = {};
  if (GetEnvironmentVariableA("QM_PROBE_DIR", elsewhere, MAX_PATH) > 0) marker = elsewhere;
  marker += "unregistered.txt";
  char directory[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
  HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, directory, length, &written, nullptr);
  CloseHandle(file);
  return S_OK;
}
