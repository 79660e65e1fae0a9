#include "temp_tree_win32.h"

#include <windows.h>

#include <atomic>

#include "platform/owners_win32.h"

TempTree::TempTree() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  // Wine reuses small process ids, so the name also carries the time, and a
  // name already taken is never reused.
  do {
    root_ = std::string(temp) + "qm" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount()) +
            "_" + std::to_string(counter++) + "\\";
  } while (!CreateDirectoryA(root_.c_str(), nullptr));
}

TempTree::~TempTree() { RemoveTree(root_); }

std::string TempTree::Write(const std::string& relative, const std::string& bytes) const {
  WriteWholeFile(root_ + relative, bytes);
  return root_ + relative;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file.Valid() && !bytes.empty()) {
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

std::string TempTree::MakeDir(const std::string& relative) const {
  // Each level, so that a path of several names can be made at once.
  for (size_t end = relative.find('\\'); end != std::string::npos; end = relative.find('\\', end + 1)) {
    CreateDirectoryA((root_ + relative.substr(0, end)).c_str(), nullptr);
  }
  const std::string path = root_ + relative;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file.Valid()) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool RemoveTree(const std::string& directory) {
  std::string root = directory;
  if (root.empty()) return false;
  if (root.back() != '\\') root += '\\';
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((root + "*").c_str(), &found));
  if (search.Valid()) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = root + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveDirectoryA(path.c_str());  // a link: never into its target
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search.Get(), &found));
  }
  search.Reset();
  RemoveDirectoryA(root.c_str());
  return !PathExists(root);
}

std::string WindowsPathOf(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string result = "Z:" + path;
  for (char& c : result) c = c == '/' ? '\\' : c;
  return result;
}

namespace {

constexpr char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPending[] = "PendingFileRenameOperations";

}  // namespace

PendingRestarts::PendingRestarts(const std::string& directory)
    : directory_(Named(directory)), mutex_(CreateMutexA(nullptr, FALSE, "qm-tests-pending-restarts")) {
  WaitForSingleObject(mutex_, 60000);
}

std::string PendingRestarts::Named(const std::string& path) {
  char mount[MAX_PATH] = {};
  char volume[MAX_PATH] = {};
  if (!GetVolumePathNameA(path.c_str(), mount, MAX_PATH) ||
      !GetVolumeNameForVolumeMountPointA(mount, volume, MAX_PATH)) {
    return "\\??\\" + path;
  }
  return "\\??\\" + std::string(volume + 4) + path.substr(strlen(mount));
}

std::string PendingRestarts::Operations() const {
  RegistryKey manager;
  std::string operations(65536, '\0');
  DWORD size = static_cast<DWORD>(operations.size());
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, manager.Receive()) != ERROR_SUCCESS ||
      RegQueryValueExA(manager.Get(), kPending, nullptr, nullptr, reinterpret_cast<BYTE*>(&operations[0]), &size) !=
          ERROR_SUCCESS) {
    size = 0;
  }
  operations.resize(size);
  return operations;
}

PendingRestarts::~PendingRestarts() {
  // Pairs of strings; a deletion has an empty target.
  const std::string operations = Operations();
  std::string kept;
  for (size_t at = 0; at < operations.size();) {
    const size_t source_end = operations.find('\0', at);
    if (source_end == std::string::npos || source_end == at) break;
    const size_t target_end = operations.find('\0', source_end + 1);
    if (target_end == std::string::npos) break;
    if (operations.compare(at, directory_.size(), directory_) != 0) {
      kept.append(operations, at, target_end + 1 - at);
    }
    at = target_end + 1;
  }
  RegistryKey manager;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, manager.Receive()) == ERROR_SUCCESS) {
    if (kept.empty()) {
      RegDeleteValueA(manager.Get(), kPending);
    } else {
      kept += '\0';
      RegSetValueExA(manager.Get(), kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                     static_cast<DWORD>(kept.size()));
    }
  }
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

RunningProbe::RunningProbe(const std::string& exe, const std::string& options, const std::string& directory) {
  std::string command = "\"" + exe + "\" " + options;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    process_ = info.hProcess;
    CloseHandle(info.hThread);
  }
}

RunningProbe::~RunningProbe() {
  if (process_ == nullptr) return;
  TerminateProcess(process_, 0);
  WaitForSingleObject(process_, 10000);
  CloseHandle(process_);
}
