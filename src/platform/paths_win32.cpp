#include "platform/paths_win32.h"

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/owners_win32.h"
#include "platform/text_win32.h"

namespace {

// Past this, no path the system gives is taken: its own limit is 32,767.
constexpr DWORD kLongestText = 65536;

// Text the system writes into the caller's buffer: read in UTF-16 into a
// buffer that grows to what the call says it needs, and made the program's
// text once, whole and exact, or not at all (empty). A call that cut the text
// short, or failed, gives none. read(buffer, room) returns the length it
// wrote, or the room it needs (with or without the terminating NUL) where
// the room was too small.
template <typename Read>
std::string SystemText(Read read) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD room = static_cast<DWORD>(buffer.size());
    const DWORD length = read(&buffer[0], room);
    if (length == 0) return std::string();
    if (length < room) {
      buffer.resize(length);
      break;
    }
    if (room >= kLongestText) return std::string();
    buffer.assign(length > room ? length + 1 : room * 2, L'\0');
  }
  std::string text;
  return NarrowText(buffer, text) ? text : std::string();
}

}  // namespace

std::wstring ModulePathWide() {
  std::wstring buffer(MAX_PATH, L'\0');
  // The module's path is cut to the buffer and its length is then the
  // buffer's: a larger one is tried until the whole path fits.
  for (DWORD room = MAX_PATH; room <= kLongestText; room *= 2) {
    buffer.assign(room, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], room);
    if (length == 0) break;
    if (length < room) return buffer.substr(0, length);
  }
  return std::wstring();
}

std::string ModulePath() {
  // Where the program's text cannot spell it, the default character stands
  // in, for showing: the run checks the path is exact before it uses it.
  std::string text;
  NarrowText(ModulePathWide(), text);
  return text;
}

std::string CurrentDirectory() {
  return SystemText([](wchar_t* buffer, DWORD room) { return GetCurrentDirectoryW(room, buffer); });
}

std::string TempDirectory() {
  // For SYSTEM, the system's own temporary folder, which only it and
  // administrators may write, where the system has one; for everyone else,
  // their own.
  using TempPath = DWORD(WINAPI*)(DWORD, LPWSTR);
  const auto second = reinterpret_cast<TempPath>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
  return SystemText([&](wchar_t* buffer, DWORD room) {
    return second != nullptr ? second(room, buffer) : GetTempPathW(room, buffer);
  });
}

std::string SystemDirectory() {
  return SystemText([](wchar_t* buffer, DWORD room) { return GetSystemDirectoryW(buffer, room); });
}

std::string WindowsDirectory() {
  return SystemText([](wchar_t* buffer, DWORD room) { return GetSystemWindowsDirectoryW(buffer, room); });
}

std::string FullPath(const std::string& path) {
  if (path.empty()) return std::string();
  const std::wstring wide = WideText(path);
  if (wide.empty()) return std::string();
  return SystemText([&](wchar_t* buffer, DWORD room) { return GetFullPathNameW(wide.c_str(), room, buffer, nullptr); });
}

std::string EnvironmentVariable(const wchar_t* name) {
  return SystemText([&](wchar_t* buffer, DWORD room) { return GetEnvironmentVariableW(name, buffer, room); });
}

std::vector<std::string> ShellFolders() {
  // The user's own folders and the all-users ones, the system's and the
  // programs' folders, each as the shell reports it for this user, of any
  // length: by its known-folder id where the system has them, else by the
  // older number, whose call takes no path of 260 letters or more.
  struct Folder {
    const KNOWNFOLDERID* known;
    unsigned char number;  // 0: the known-folder id alone
  };
  static const Folder kFolders[] = {{&FOLDERID_Desktop, CSIDL_DESKTOPDIRECTORY},
                                    {&FOLDERID_Documents, CSIDL_PERSONAL},
                                    {&FOLDERID_Music, CSIDL_MYMUSIC},
                                    {&FOLDERID_Pictures, CSIDL_MYPICTURES},
                                    {&FOLDERID_Videos, CSIDL_MYVIDEO},
                                    {&FOLDERID_Profile, CSIDL_PROFILE},
                                    {&FOLDERID_RoamingAppData, CSIDL_APPDATA},
                                    {&FOLDERID_LocalAppData, CSIDL_LOCAL_APPDATA},
                                    {&FOLDERID_StartMenu, CSIDL_STARTMENU},
                                    {&FOLDERID_Programs, CSIDL_PROGRAMS},
                                    {&FOLDERID_PublicDesktop, CSIDL_COMMON_DESKTOPDIRECTORY},
                                    {&FOLDERID_PublicDocuments, CSIDL_COMMON_DOCUMENTS},
                                    {&FOLDERID_PublicMusic, CSIDL_COMMON_MUSIC},
                                    {&FOLDERID_PublicPictures, CSIDL_COMMON_PICTURES},
                                    {&FOLDERID_PublicVideos, CSIDL_COMMON_VIDEO},
                                    {&FOLDERID_ProgramData, CSIDL_COMMON_APPDATA},
                                    {&FOLDERID_CommonStartMenu, CSIDL_COMMON_STARTMENU},
                                    {&FOLDERID_CommonPrograms, CSIDL_COMMON_PROGRAMS},
                                    {&FOLDERID_Windows, CSIDL_WINDOWS},
                                    {&FOLDERID_System, CSIDL_SYSTEM},
                                    {&FOLDERID_SystemX86, CSIDL_SYSTEMX86},
                                    {&FOLDERID_ProgramFiles, CSIDL_PROGRAM_FILES},
                                    {&FOLDERID_ProgramFilesX86, CSIDL_PROGRAM_FILESX86},
                                    {&FOLDERID_ProgramFilesCommon, CSIDL_PROGRAM_FILES_COMMON},
                                    {&FOLDERID_ProgramFilesCommonX86, CSIDL_PROGRAM_FILES_COMMONX86},
                                    {&FOLDERID_Downloads, 0},
                                    {&FOLDERID_PublicDownloads, 0},
                                    {&FOLDERID_Public, 0}};
  // A 32-bit program is shown the x86 Program Files in place of the native ones.
  static constexpr const wchar_t* kNativeProgramFiles[] = {L"ProgramW6432", L"CommonProgramW6432"};
  std::vector<std::string> folders;
  const auto known = Late<decltype(&SHGetKnownFolderPath)>("shell32.dll", "SHGetKnownFolderPath");
  const auto numbered = Late<decltype(&SHGetFolderPathW)>("shell32.dll", "SHGetFolderPathW");
  const auto add = [&](const wchar_t* wide) {
    std::string narrow;
    if (NarrowText(wide, narrow)) folders.push_back(narrow);
  };
  for (const Folder& folder : kFolders) {
    if (known != nullptr) {
      wchar_t* wide = nullptr;
      const bool found = SUCCEEDED(known(*folder.known, 0, nullptr, &wide));
      const CoTaskMemory owned(wide);
      if (found) add(wide);
    } else if (numbered != nullptr && folder.number != 0) {
      wchar_t path[MAX_PATH];
      if (SUCCEEDED(numbered(nullptr, folder.number, nullptr, SHGFP_TYPE_CURRENT, path))) add(path);
    }
  }
  for (const wchar_t* name : kNativeProgramFiles) {
    const std::string path = EnvironmentVariable(name);
    if (!path.empty()) folders.push_back(path);
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
