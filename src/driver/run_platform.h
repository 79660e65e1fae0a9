// What the run's steps do to the window and the machine. The steps themselves
// are portable and decide what happens in which order; the Win32
// implementation carries each call out, and tests can record them instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "external/program_runner.h"

#include "removal/registry.h"

class RunPlatform {
 public:
  virtual ~RunPlatform() = default;

  // The confirmation window.
  virtual void EnterRemovingState() = 0;
  virtual bool IsDeleteAllChecked() = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  // A step has ended: its last text must be on the screen.
  virtual void FinishStep() {}
  virtual void ShowMessage(const std::string& caption, const std::string& text, unsigned style) = 0;

  // The file system. DeletePlainFile leaves attributes alone, so read-only files stay.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DeletePlainFile(const std::string& path) = 0;
  virtual bool IsDirectoryEmpty(const std::string& directory) = 0;
  // The files named in kept (full paths) stay.
  virtual bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive,
                              bool clear_attributes, const std::vector<std::string>& kept) = 0;
  // A junction or directory symbolic link, the entry itself as the path names it.
  virtual bool IsDirectoryLink(const std::string& path) = 0;
  // Removes such a link, never what it points to.
  virtual bool RemoveDirectoryLink(const std::string& link) = 0;

  // The registry, one value or one key at a time.
  virtual bool DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) = 0;
  virtual bool DeleteRegistryKey(RegistryRoot root, const std::string& key) = 0;

  // The batch that removes the executable and its directory after the exit.
  virtual void StartSelfDeleteBatch(const std::string& own_directory) = 0;

  // Starts a program, or opens a document through the shell, and waits for its end.
  virtual ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                                    const std::string& working_directory) = 0;
  // The packed version word of the running system.
  virtual uint32_t VersionWord() = 0;

  // True when a mutex of that name exists; the check itself leaves none behind.
  virtual bool MutexInUse(const std::string& name) = 0;
  // The executable file names of the running processes, as the process list gives them.
  virtual std::vector<std::string> RunningExecutables() = 0;

  // The whole file, shared for reading only; false when it cannot be opened
  // or holds more than max_bytes.
  virtual bool ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) = 0;
  // Hands the text to the script host, which compiles and runs it.
  virtual void RunScript(const std::string& language, const std::string& text) = 0;
};
