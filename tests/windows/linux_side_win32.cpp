#include "linux_side_win32.h"

#include <windows.h>

#include "platform/owners_win32.h"

namespace {

using UnixNameOf = char*(CDECL*)(LPCWSTR);

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  for (size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  return wide;
}

std::string UnixName(const std::string& path) {
  auto convert = reinterpret_cast<UnixNameOf>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (convert == nullptr) return std::string();
  char* name = convert(Wide(path).c_str());
  if (name == nullptr) return std::string();
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

std::wstring LongForm(const std::string& path) { return L"\\\\?\\" + Wide(path); }

bool RunLinux(std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  // Wine starts a Linux program without a Windows process: no process
  // handle, and what stands in the thread's place is no handle of this
  // process either (closing it once closed whatever held that number).
  if (info.hProcess == nullptr) return true;
  KernelHandle process(info.hProcess);
  KernelHandle thread(info.hThread);
  WaitForSingleObject(process.Get(), 10000);
  return true;
}

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The handle of a Linux process may signal before its work shows.
bool AwaitLink(const std::string& link, bool present) {
  for (int waited = 0; waited < 5000; waited += 20) {
    if (IsLink(link) == present) return true;
    Sleep(20);
  }
  return false;
}

// The prefix's folder of drive letters, from where drive C: lies.
std::string DosDevices() {
  const std::string c_drive = UnixName("C:\\");
  const size_t at = c_drive.rfind("/c:");
  return at == std::string::npos ? std::string() : c_drive.substr(0, at + 1);
}

bool AwaitPath(const std::string& path, bool present) {
  for (int waited = 0; waited < 5000; waited += 20) {
    if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
    Sleep(20);
  }
  return false;
}

bool IsListable(const std::string& directory) {
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((directory + "\\*").c_str(), &found));
  return search.Valid();
}

}  // namespace

bool MakeDirectoryLink(const std::string& target, const std::string& link) {
  const std::string from = UnixName(target);
  const std::string to = UnixName(link);
  if (from.empty() || to.empty()) return false;
  return RunLinux("/bin/ln -s \"" + from + "\" \"" + to + "\"") && AwaitLink(link, true);
}

void RemoveLinuxLink(const std::string& link) {
  // Only a symbolic link goes, also one whose target is gone.
  const std::string path = UnixName(link);
  if (!path.empty() && RunLinux("/usr/bin/find \"" + path + "\" -maxdepth 0 -type l -delete")) AwaitLink(link, false);
}

bool MapDrive(char letter, const std::string& directory) {
  const std::string devices = DosDevices();
  const std::string target = UnixName(directory);
  if (devices.empty() || target.empty()) return false;
  const std::string drive = devices + static_cast<char>(letter | 0x20) + ":";
  return RunLinux("/bin/ln -sfn \"" + target + "\" \"" + drive + "\"") &&
         AwaitPath(std::string(1, letter) + ":\\", true);
}

void UnmapDrive(char letter) {
  const std::string devices = DosDevices();
  if (devices.empty()) return;
  const std::string drive = devices + static_cast<char>(letter | 0x20) + ":";
  if (RunLinux("/usr/bin/find \"" + drive + "\" -maxdepth 0 -type l -delete"))
    AwaitPath(std::string(1, letter) + ":\\", false);
}

bool MakeManyFiles(const std::string& directory, int count) {
  const std::string path = UnixName(directory);
  return !path.empty() &&
         RunLinux("/bin/sh -c \"cd '" + path + "' && seq -f f%g.dat " + std::to_string(count) + " | xargs touch\"") &&
         AwaitPath(directory + "\\f" + std::to_string(count) + ".dat", true);
}

bool MakeLongDirectory(const std::string& path) { return CreateDirectoryW(LongForm(path).c_str(), nullptr) != FALSE; }

bool MakeLongFile(const std::string& path) {
  FileHandle file(CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return file.Valid();
}

bool LongPathExists(const std::string& path) {
  return GetFileAttributesW(LongForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveLongPath(const std::string& path) {
  if (!DeleteFileW(LongForm(path).c_str())) RemoveDirectoryW(LongForm(path).c_str());
}

bool SetDirectoryMode(const std::string& directory, const std::string& mode) {
  const std::string path = UnixName(directory);
  if (path.empty() || !RunLinux("/bin/chmod " + mode + " \"" + path + "\"")) return false;
  const bool listable = mode != "000";
  for (int waited = 0; waited < 5000; waited += 20) {
    if (IsListable(directory) == listable) return true;
    Sleep(20);
  }
  return false;
}
