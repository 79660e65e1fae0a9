// The process's own paths, read into buffers large enough for any path so that
// a long path is never silently cut to a shorter one.
#pragma once

#include <string>

// The full path of the running executable; empty if it cannot be read.
std::string ModulePath();
std::string CurrentDirectory();
