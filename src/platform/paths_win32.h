// The process's own paths and the system's, read in UTF-16 into buffers that
// grow to what the system says it needs, so that a long path is never
// silently cut to a shorter one, and made the program's text once, exactly:
// a path the program's text cannot spell is none (empty).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

// The full path of the running executable; empty if it cannot be read, and
// with the default character for a letter the program's text cannot spell.
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
// A variable of the process's environment, whole; empty where it is unset.
std::string EnvironmentVariable(const wchar_t* name);

// The shell's folders that no program lives in as a whole: the user's and all
// users' documents, desktop, media, downloads, profile and application data,
// the start menu, Windows and Program Files.
std::vector<std::string> ShellFolders();

// The shell's ShellExecuteExA, shell32 loaded on first use.
bool ExecuteThroughShell(SHELLEXECUTEINFOA& info);
