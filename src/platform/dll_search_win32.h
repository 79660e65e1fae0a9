// Restricts where the process looks for DLLs loaded by name to the system
// directory, so that a DLL planted beside the uninstaller (a download folder,
// a writable program directory) is never loaded, even with administrator
// rights. Also keeps the system's critical-error boxes away.
#pragma once

void RestrictDllSearch();
