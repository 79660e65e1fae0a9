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
  // Every directory of the relative path that is missing.
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

// A program started with options (in a working directory, if one is given),
// ended when the test ends.
class RunningProbe {
 public:
  RunningProbe(const std::string& exe, const std::string& options, const std::string& directory = "");
  ~RunningProbe();
  RunningProbe(const RunningProbe&) = delete;
  RunningProbe& operator=(const RunningProbe&) = delete;
  bool Running() const { return process_ != nullptr; }

 private:
  void* process_ = nullptr;
};

// The system's list of files to rename or delete at the next restart, for a
// test that leaves files there: held against every other such test for its
// whole life, and rid of what it added (entries under the directory) at its end.
class PendingRestarts {
 public:
  explicit PendingRestarts(const std::string& directory);
  ~PendingRestarts();
  PendingRestarts(const PendingRestarts&) = delete;
  PendingRestarts& operator=(const PendingRestarts&) = delete;

  // The list as the registry holds it: source, target, source, target...
  // each ending in a NUL.
  std::string Operations() const;
  // A full path as the list names it: by its volume's own name.
  static std::string Named(const std::string& path);

 private:
  std::string directory_;
  void* mutex_;
};
