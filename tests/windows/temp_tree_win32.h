// A private directory tree under the temporary directory for one test,
// removed with everything in it when the test ends.
#pragma once

#include <string>

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The tree's root, with a trailing backslash.
  const std::string& Path() const { return root_; }
  std::string Write(const std::string& relative, const std::string& bytes) const;
  std::string MakeDir(const std::string& relative) const;

 private:
  std::string root_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
// Deletes a tree from the test's side, attributes cleared; true if it is gone.
bool RemoveTree(const std::string& directory);

// Linux paths handed over by the build become paths on Wine's Z: drive.
std::string WindowsPathOf(const std::string& path);
