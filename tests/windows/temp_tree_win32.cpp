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
