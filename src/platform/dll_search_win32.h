// Restricts where the process looks for DLLs loaded by name to the system
// directory, so that a DLL planted beside the uninstaller (a download folder,
// a writable program directory) is never loaded, even with administrator rights.
#pragma once

void RestrictDllSearch();
