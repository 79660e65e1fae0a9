#include <windows.h>

#include "driver/uninstall_sequence.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunUninstall(); }
