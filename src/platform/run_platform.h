// What the run does to the window and the machine. The run itself is portable
// and decides what happens in which order; the Win32 implementation carries
// each call out, and tests can record them instead. The interface owns the
// few words it speaks in: registry roots, a program's outcome and the rule
// for status texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A predefined root key, carried as the 32-bit value of its handle.
using RegistryRoot = uint32_t;
constexpr RegistryRoot kClassesRoot = 0x80000000u;
constexpr RegistryRoot kCurrentUser = 0x80000001u;
constexpr RegistryRoot kLocalMachine = 0x80000002u;

// The predefined roots the program works in: classes root, current user,
// local machine, users and current configuration. Any other number, however
// it came into a record, names no root: the registry calls then change
// nothing and never touch a handle of the process.
bool IsPredefinedRoot(RegistryRoot root);

struct ProgramOutcome {
  bool started = false;    // false when neither a process nor the shell could start it
  uint32_t exit_code = 0;  // 0 when it cannot be read
};

// Every removal step announces its item with two blanks in front.
std::string StatusText(const std::string& item);

// The local time, for the log.
struct LocalTime {
  int year, month, day, hour, minute, second;
};

// Up to two files that a purge leaves in place, by full path.
struct KeptFiles {
  const std::string* first = nullptr;
  const std::string* second = nullptr;
};

// Keeps a platform file open; released by the function the platform supplies.
using FileHold = std::unique_ptr<void, void (*)(void*)>;

struct HeldFileBytes {
  bool opened = false;
  std::string bytes;
  FileHold hold{nullptr, nullptr};
};

// Whole files read and kept open: the settings reader's way to the disk.
class FileReader {
 public:
  // Opens the file for reading and writing (or else for reading only),
  // shared for reading only, and reads it all.
  virtual HeldFileBytes ReadHeldFile(const std::string& path) = 0;

 protected:
  ~FileReader() = default;
};

// No control was activated: the window's events have ended.
constexpr int kNoControl = -1;

class RunPlatform : public FileReader {
 public:
  // The process: its executable, its current directory, and the shell's
  // folders that no program lives in as a whole.
  virtual std::string ModulePath() = 0;
  virtual std::string CurrentDirectory() = 0;
  virtual std::vector<std::string> ShellFolders() = 0;
  virtual std::string TempDirectory() = 0;
  virtual LocalTime Now() = 0;

  // The log of an administrator's run: opened for appending (false when it
  // cannot be written), then one line per call, with the time; nothing
  // without a log.
  virtual bool OpenLog(const std::string& path) = 0;
  virtual void Log(const std::string& line) = 0;

  // The confirmation window, with the run's texts.
  virtual bool OpenWindow() = 0;
  virtual void HideDeleteAllOption() = 0;
  // The next control the user activated, or kNoControl.
  virtual int WaitForControl() = 0;
  virtual void EnterRemovingState() = 0;
  virtual bool IsDeleteAllChecked() = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  // A step has ended: its last text must be on the screen.
  virtual void FinishStep() {}
  virtual void ShowMessage(const std::string& caption, const std::string& text, unsigned style) = 0;
  // The run is done with the window; the process ends right after.
  virtual void CloseWindow() = 0;

  // Administrator rights: the test, the logon window on top of the
  // confirmation window (the run acts as the administrator after a logon),
  // and the end of that.
  virtual bool IsAdministrator() = 0;
  virtual void RunLogonDialog() = 0;
  virtual void EndImpersonation() = 0;

  // The file system. DeletePlainFile leaves attributes alone, so read-only files stay.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DeletePlainFile(const std::string& path) = 0;
  virtual bool IsDirectoryEmpty(const std::string& directory) = 0;
  // The files named in kept stay.
  virtual bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive,
                              bool clear_attributes, KeptFiles kept) = 0;
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

 protected:
  // A platform is never deleted through this interface.
  ~RunPlatform() = default;
};
