#include "canary_win32.h"

#include "platform/owners_win32.h"
#include "temp_tree_win32.h"

namespace {

void SnapshotFiles(const std::string& directory, std::map<std::string, std::string>& into) {
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((directory + "\\*").c_str(), &found));
  if (!search.Valid()) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = directory + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      into["dir:" + path] = "";
      SnapshotFiles(path, into);
    } else {
      into["file:" + path] = ReadWholeFile(path);
    }
  } while (FindNextFileA(search.Get(), &found));
}

void SnapshotKey(HKEY root, const std::string& key, std::map<std::string, std::string>& into) {
  RegistryKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) return;
  into["key:" + key] = "";
  char name[256];
  BYTE data[1024];
  for (DWORD i = 0;; ++i) {
    DWORD name_size = sizeof(name), data_size = sizeof(data), type = 0;
    if (RegEnumValueA(opened.Get(), i, name, &name_size, nullptr, &type, data, &data_size) != ERROR_SUCCESS) break;
    into["value:" + key + "|" + name] = std::string(reinterpret_cast<char*>(data), data_size);
  }
  for (DWORD i = 0;; ++i) {
    DWORD name_size = sizeof(name);
    if (RegEnumKeyExA(opened.Get(), i, name, &name_size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    SnapshotKey(root, key + "\\" + name, into);
  }
}

void DeleteTree(HKEY root, const std::string& key) {
  RegistryKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS) {
    char name[256];
    DWORD name_size = sizeof(name);
    while (RegEnumKeyExA(opened.Get(), 0, name, &name_size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      DeleteTree(root, key + "\\" + name);
      name_size = sizeof(name);
    }
  }
  opened.Reset();
  RegDeleteKeyA(root, key.c_str());
}

}  // namespace

void Canary::PlantFiles(const std::string& directory) {
  const std::string dir = directory.back() == '\\' ? directory.substr(0, directory.size() - 1) : directory;
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA((dir + "\\nested").c_str(), nullptr);
  WriteWholeFile(dir + "\\letter.doc", "Dear user, this is yours.");
  WriteWholeFile(dir + "\\nested\\photo.jpg", std::string(3000, '\x7f'));
  WriteWholeFile(dir + "\\nested\\readme", "no extension");
  SetFileAttributesA((dir + "\\nested\\readme").c_str(), FILE_ATTRIBUTE_READONLY);
  directories_.push_back(dir);
}

void Canary::PlantFile(const std::string& path, const std::string& bytes) {
  WriteWholeFile(path, bytes);
  files_.push_back(path);
}

void Canary::PlantKey(HKEY root, const std::string& key) {
  for (const std::string& path : {key, key + "\\Sub"}) {
    RegistryKey created;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created.Receive(), nullptr);
    for (const char* name : {"", "InstallDir", "DisplayName", "Application", "Path"}) {
      const std::string data = "canary " + path + "|" + name;
      RegSetValueExA(created.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
    }
  }
  keys_.emplace_back(root, key);
}

std::map<std::string, std::string> Canary::Snapshot() const {
  std::map<std::string, std::string> snapshot;
  for (const std::string& dir : directories_) SnapshotFiles(dir, snapshot);
  for (const std::string& file : files_) {
    if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) snapshot["file:" + file] = ReadWholeFile(file);
  }
  for (const auto& key : keys_) SnapshotKey(key.first, key.second, snapshot);
  return snapshot;
}

void Canary::Record() { recorded_ = Snapshot(); }

std::vector<std::string> Canary::Differences() const {
  const std::map<std::string, std::string> now = Snapshot();
  std::vector<std::string> differences;
  for (const auto& entry : recorded_) {
    const auto found = now.find(entry.first);
    if (found == now.end()) {
      differences.push_back("lost " + entry.first);
    } else if (found->second != entry.second) {
      differences.push_back("changed " + entry.first);
    }
  }
  for (const auto& entry : now) {
    if (recorded_.count(entry.first) == 0) differences.push_back("new " + entry.first);
  }
  return differences;
}

size_t Canary::FileCount() const {
  size_t count = 0;
  for (const auto& entry : recorded_) count += entry.first.compare(0, 5, "file:") == 0 ? 1 : 0;
  return count;
}

size_t Canary::RegistryCount() const {
  size_t count = 0;
  for (const auto& entry : recorded_) {
    count += entry.first.compare(0, 4, "key:") == 0 || entry.first.compare(0, 6, "value:") == 0 ? 1 : 0;
  }
  return count;
}

void Canary::ForgetKeys() const {
  for (const auto& key : keys_) DeleteTree(key.first, key.second);
}
