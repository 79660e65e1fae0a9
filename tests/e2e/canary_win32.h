// User data that must survive every uninstall: a tree of files and a set of
// registry keys, recorded before a run and compared byte for byte after it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class Canary {
 public:
  // Plants files in each directory and values and subkeys below each key.
  void PlantFiles(const std::string& directory);
  void PlantFile(const std::string& path, const std::string& bytes = "a file of the user's, beside the installation");
  void PlantKey(HKEY root, const std::string& key);
  // Records what is there now.
  void Record();
  // What differs from the record: missing, changed or new entries.
  std::vector<std::string> Differences() const;
  size_t FileCount() const;
  size_t RegistryCount() const;
  // Removes the planted keys again.
  void ForgetKeys() const;

 private:
  std::map<std::string, std::string> Snapshot() const;
  std::vector<std::string> directories_;
  std::vector<std::string> files_;
  std::vector<std::pair<HKEY, std::string>> keys_;
  std::map<std::string, std::string> recorded_;
};
