#include <windows.h>

#include "driver/uninstall_sequence.h"
#include "platform/dll_search_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();
  return RunUninstall();
}
