// The process's own paths, read into buffers large enough for any path so that
// a long path is never silently cut to a shorter one.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

// The full path of the running executable; empty if it cannot be read.
std::string ModulePath();
// The same as the system holds it, in UTF-16.
std::wstring ModulePathWide();
std::string CurrentDirectory();
// The user's temporary directory, with a trailing backslash; empty if unknown.
std::string TempDirectory();
// The system's own directories, without a trailing backslash: the one its
// programs stand in, and Windows itself (shared by every session).
std::string SystemDirectory();
std::string WindowsDirectory();
// The path made full against the current directory, "." and ".." resolved
// by their spelling alone; empty if it cannot be.
std::string FullPath(const std::string& path);

// The shell's folders that no program lives in as a whole: the user's and all
// users' documents, desktop, media, downloads, profile and application data,
// the start menu, Windows and Program Files.
std::vector<std::string> ShellFolders();

// The shell's ShellExecuteExA, shell32 loaded on first use.
bool ExecuteThroughShell(SHELLEXECUTEINFOA& info);
