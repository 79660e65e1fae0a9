// The one way the program reads a whole file it acts on (uninstall.dat, a
// script): all of it or nothing, never a part that could end inside a name.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The file's bytes from its start, appended to bytes; false when it could
// not be read whole or holds more than max_bytes (also when it grows past
// them while it is read).
bool ReadWholeFile(HANDLE file, size_t max_bytes, std::string& bytes);
