#include "platform/paths_win32.h"

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/owners_win32.h"
#include "platform/text_win32.h"

namespace {

constexpr DWORD kLongestPath = 32768;

// A path that the platform writes into a buffer and whose length it returns:
// one too long for the buffer counts as none.
template <typename Read>
std::string PathText(Read read) {
  std::string buffer(kLongestPath, '\0');
  const DWORD length = read(&buffer[0]);
  buffer.resize(length < kLongestPath ? length : 0);
  return buffer;
}

}  // namespace

std::string ModulePath() {
  return PathText([](char* buffer) { return GetModuleFileNameA(nullptr, buffer, kLongestPath); });
}

std::wstring ModulePathWide() {
  std::wstring buffer(kLongestPath, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], kLongestPath);
  buffer.resize(length < kLongestPath ? length : 0);
  return buffer;
}

std::string CurrentDirectory() {
  return PathText([](char* buffer) { return GetCurrentDirectoryA(kLongestPath, buffer); });
}

std::string TempDirectory() {
  // For SYSTEM, the system's own temporary folder, which only it and
  // administrators may write, where the system has one; for everyone else,
  // their own.
  return PathText([](char* buffer) {
    using TempPath = DWORD(WINAPI*)(DWORD, LPSTR);
    const auto second = reinterpret_cast<TempPath>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTempPath2A")));
    return second != nullptr ? second(kLongestPath, buffer) : GetTempPathA(kLongestPath, buffer);
  });
}

std::string SystemDirectory() {
  return PathText([](char* buffer) { return GetSystemDirectoryA(buffer, kLongestPath); });
}

std::string WindowsDirectory() {
  return PathText([](char* buffer) { return GetSystemWindowsDirectoryA(buffer, kLongestPath); });
}

std::string FullPath(const std::string& path) {
  if (path.empty()) return std::string();
  return PathText([&](char* buffer) { return GetFullPathNameA(path.c_str(), kLongestPath, buffer, nullptr); });
}

std::vector<std::string> ShellFolders() {
  // The user's own folders and the all-users ones, the system's and the
  // programs' folders, each as the shell reports it for this user.
  static constexpr unsigned char kFolderIds[] = {CSIDL_DESKTOPDIRECTORY,
                                                 CSIDL_PERSONAL,
                                                 CSIDL_MYMUSIC,
                                                 CSIDL_MYPICTURES,
                                                 CSIDL_MYVIDEO,
                                                 CSIDL_PROFILE,
                                                 CSIDL_APPDATA,
                                                 CSIDL_LOCAL_APPDATA,
                                                 CSIDL_STARTMENU,
                                                 CSIDL_PROGRAMS,
                                                 CSIDL_COMMON_DESKTOPDIRECTORY,
                                                 CSIDL_COMMON_DOCUMENTS,
                                                 CSIDL_COMMON_MUSIC,
                                                 CSIDL_COMMON_PICTURES,
                                                 CSIDL_COMMON_VIDEO,
                                                 CSIDL_COMMON_APPDATA,
                                                 CSIDL_COMMON_STARTMENU,
                                                 CSIDL_COMMON_PROGRAMS,
                                                 CSIDL_WINDOWS,
                                                 CSIDL_SYSTEM,
                                                 CSIDL_SYSTEMX86,
                                                 CSIDL_PROGRAM_FILES,
                                                 CSIDL_PROGRAM_FILESX86,
                                                 CSIDL_PROGRAM_FILES_COMMON,
                                                 CSIDL_PROGRAM_FILES_COMMONX86};
  static const KNOWNFOLDERID* const kKnownFolders[] = {&FOLDERID_Downloads, &FOLDERID_PublicDownloads,
                                                       &FOLDERID_Public};
  // A 32-bit program is shown the x86 Program Files in place of the native ones.
  static constexpr const char* kNativeProgramFiles[] = {"ProgramW6432", "CommonProgramW6432"};
  std::vector<std::string> folders;
  char path[MAX_PATH];
  const auto folder = Late<decltype(&SHGetFolderPathA)>("shell32.dll", "SHGetFolderPathA");
  const auto known = Late<decltype(&SHGetKnownFolderPath)>("shell32.dll", "SHGetKnownFolderPath");
  for (const unsigned char id : kFolderIds) {
    if (folder != nullptr && SUCCEEDED(folder(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) folders.push_back(path);
  }
  for (const KNOWNFOLDERID* id : kKnownFolders) {
    wchar_t* wide = nullptr;
    const bool found = known != nullptr && SUCCEEDED(known(*id, 0, nullptr, &wide));
    const CoTaskMemory owned(wide);
    std::string narrow;
    if (found && NarrowText(wide, narrow)) folders.push_back(narrow);
  }
  for (const char* name : kNativeProgramFiles) {
    const DWORD length = GetEnvironmentVariableA(name, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.push_back(path);
  }
  return folders;
}

bool ExecuteThroughShell(SHELLEXECUTEINFOA& info) {
  // The shell may hand the work to its extensions, which need the thread's
  // COM apartment; the thread stays in it until the process ends.
  if (const auto enter = Late<decltype(&CoInitialize)>("ole32.dll", "CoInitialize")) enter(nullptr);
  const auto execute = Late<decltype(&ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
  return execute != nullptr && execute(&info);
}
