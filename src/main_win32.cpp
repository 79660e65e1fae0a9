#include <windows.h>

#include "driver/uninstall_sequence.h"
#include "platform/dll_search_win32.h"

// The process starts here, without the C runtime's start-up code: the program
// reads no arguments, has no objects built before this point and ends through
// ExitProcess, and msvcrt.dll sets itself up when it is loaded. Leaving that
// code out keeps the executable small. The stack is aligned here because the
// system enters with only 4-byte alignment.
extern "C" __attribute__((noreturn, force_align_arg_pointer, externally_visible)) void WinMainCRTStartup() {
  RestrictDllSearch();
  ExitProcess(static_cast<UINT>(RunUninstall()));
}
