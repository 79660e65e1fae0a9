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
#include <string_view>
#include <type_traits>
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
  bool started = false;        // false when neither a process nor the shell could start it
  uint32_t exit_code = 0;      // 0 when it cannot be read
  bool outlived = false;       // still running when the wait's limit ran out: left running
  bool not_a_program = false;  // no process, and the shell was not to be asked
};

// How a hook that is not a program, a document, is opened.
enum class DocumentOpening : uint8_t {
  kNone,            // not at all: libraries and scripts are programs or nothing
  kShell,           // through the shell's "Open", by the user's classes too
  kMachineClasses,  // by the open command of the machine's class for its type alone
};

// How long a wait for a program or script lasts, and how a hook that is not
// a program is opened.
struct WaitRule {
  uint32_t timeout_ms = 0;  // 0: until it ends
  DocumentOpening documents = DocumentOpening::kShell;
};

// How a script run went.
struct ScriptOutcome {
  bool ran = false;  // false: no script host, or the script outlived the wait
  bool outlived = false;
  bool failed = false;  // it did not compile, or it ended in an error
  int32_t line = 0;     // of the text handed over, where it failed
};

// Every removal step announces its item with two blanks in front.
std::string StatusText(const std::string& item);

// The local time, for the log.
struct LocalTime {
  int year, month, day, hour, minute, second;
};

// Whether each row of a table stands at the place of the enum value it names
// (its member id), so that the table may be indexed by that enum.
template <typename Row, size_t N>
constexpr bool RowsFollowTheirEnum(const Row (&rows)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (static_cast<size_t>(rows[i].id) != i) return false;
  }
  return true;
}

// What became of an entry of the installation that the removal acted on.
enum class Outcome : uint8_t {
  kRemoved,
  kAbsent,
  kInUse,        // another program holds it
  kDenied,       // no right to remove it, or read-only where attributes stay
  kNotEmpty,     // a directory that still holds entries
  kThroughLink,  // reached through a directory link below the own directory: passed over
  kLink,         // a directory link that cannot be removed as a link: it stays, and what it points to
  kChanged,      // replaced by something else while the removal worked: passed over
  kOutside,      // would climb out of the installation, or cannot be spelled safely: passed over
  kTooLong,      // a listed path beyond the platform's limit: passed over
  kAtRestart,    // in use: renamed beside itself, and removed when the system restarts
  kFailed,       // the platform's error number tells
};

// Each outcome in English words, as the log gives them; "$N" stands for the
// platform's error number.
constexpr const char* EnglishWords(Outcome outcome) {
  switch (outcome) {
    case Outcome::kRemoved:
      return "removed";
    case Outcome::kAbsent:
      return "absent";
    case Outcome::kInUse:
      return "in use";
    case Outcome::kDenied:
      return "access denied";
    case Outcome::kNotEmpty:
      return "not empty";
    case Outcome::kThroughLink:
      return "passed over, it leads through a directory link";
    case Outcome::kLink:
      return "kept, a directory link that cannot be removed as a link";
    case Outcome::kChanged:
      return "passed over, it was replaced while the removal worked";
    case Outcome::kOutside:
      return "passed over, it lies outside the installation";
    case Outcome::kTooLong:
      return "passed over, its path is beyond the limit";
    case Outcome::kAtRestart:
      return "in use, scheduled for removal at restart";
    case Outcome::kFailed:
      return "error $N";
  }
  return "";
}

// What a registry key holds.
struct KeyHolds {
  bool exists = false;
  uint32_t values = 0;
  uint32_t subkeys = 0;
};

// A change to the registry that needs a right of its own on a key.
enum class RegistryChange : uint8_t { kValue, kSubkey, kKey };

// Why a log was not opened.
enum class LogRefusal : uint8_t { kNone, kUnwritable, kDevice, kDirectory, kOtherNames, kLink };

// Why a log was refused, in English words, as standard error gives them and
// the default of its [Language] text.
constexpr const char* RefusalWords(LogRefusal refusal) {
  switch (refusal) {
    case LogRefusal::kNone:
      return "";
    case LogRefusal::kUnwritable:
      return "it cannot be written";
    case LogRefusal::kDevice:
      return "it is a device";
    case LogRefusal::kDirectory:
      return "it is a directory";
    case LogRefusal::kOtherNames:
      return "the file has another name too";
    case LogRefusal::kLink:
      return "it is a link, or a folder on its way is one";
  }
  return "";
}

// What became of one change the run asked of the platform, with the
// platform's error number behind kFailed.
struct RemovalResult {
  Outcome outcome = Outcome::kRemoved;
  uint32_t error = 0;
};

// One entry, as the removal reports it.
struct EntryReport {
  std::string path;  // full path; empty for a removed entry unless every entry is named
  bool directory = false;
  Outcome outcome = Outcome::kRemoved;
  uint32_t error = 0;  // the platform's number behind kFailed
  uint32_t held = 0;   // for a directory that stays: the entries it still holds
};

// Told of every entry the removal acts on, in the order it acts.
class RemovalListener {
 public:
  // Removed entries are named only when asked for: naming costs a conversion each.
  bool name_every_entry = false;
  virtual void Entry(const EntryReport& report) = 0;

 protected:
  ~RemovalListener() = default;
};

// An entry a directory holds.
struct HeldEntry {
  std::string name;
  bool directory = false;
  bool link = false;  // leads elsewhere by name (a junction, a symbolic link): never looked through
};

// How one value of the installation is removed.
enum class Removal : uint8_t {
  kFile,            // one file; a read-only one stays
  kFileClearing,    // one file, read-only or not
  kEmptyDirectory,  // a directory, only when it is empty; a link loses only the link
  kTree,            // a directory with all it holds, read-only entries too; a link loses only the link
  kFiles,           // the files directly in a directory, read-only ones too
};

// Keeps a platform file open; released by the function the platform supplies.
using FileHold = std::unique_ptr<void, void (*)(void*)>;

struct HeldFileBytes {
  bool opened = false;
  std::string bytes;
  FileHold hold{nullptr, nullptr};
};

// Whole files read and kept open, and their text made the program's: the
// settings reader's way to the disk. The program's text is in the active
// code page, UTF-8 wherever the system honours the program's manifest.
class FileReader {
 public:
  // Opens the file for reading and writing (or else for reading only),
  // shared for reading only, and reads it all.
  virtual HeldFileBytes ReadHeldFile(const std::string& path) = 0;
  // The text of bytes written without a signature, in the code page of the
  // system they were written for: the legacy ANSI one, whatever the
  // active code page is. Exact.
  virtual std::string LegacyText(std::string_view bytes) = 0;
  // The text of well-formed UTF-8; false when a letter has no exact form in
  // the active code page (only where the system ignores the manifest).
  virtual bool Utf8Text(std::string_view utf8, std::string& text) = 0;

 protected:
  ~FileReader() = default;
};

// No control was activated: the window's events have ended.
constexpr int kNoControl = -1;
// The window waits for input for the first time; no control was activated.
constexpr int kWindowIdle = -2;

// The executable's path in UTF-16: as the system holds it, and as the
// program would use it (ModulePath made UTF-16 again, strictly: empty where
// it cannot be). They differ where the active code page cannot spell the
// path, or the system holds a name no text can (an unpaired surrogate).
struct ModulePathForms {
  std::u16string exact;
  std::u16string used;
};

// An entry by what names it alone on its machine, whatever path leads to it:
// its volume and its file id (128 bits where the system gives them, else the
// 64-bit index), or, where the volume gives no usable id (some network
// volumes answer 0 for every file), its final path in capitals.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t id_high = 0;
  uint64_t id_low = 0;
  std::string path;  // only where there is no id
  bool operator<(const FileIdentity& other) const;
  bool operator==(const FileIdentity& other) const;
};

// The process and the machine as the run reads them, and its log: the same
// for a run and for a plan.
class RunSystem : public FileReader {
 public:
  // The process: its executable, its current directory, and the shell's
  // folders that no program lives in as a whole.
  virtual std::string ModulePath() = 0;
  virtual ModulePathForms ModulePathsInUtf16() = 0;
  virtual std::string CurrentDirectory() = 0;
  // The path made full against the current directory; empty if it cannot be.
  virtual std::string FullPath(const std::string& path) = 0;
  // Names as the file system tells them apart: the system's ordinal
  // comparison of their UTF-16 forms, case ignored by its own table.
  virtual bool SameName(const std::string& a, const std::string& b) = 0;
  // The entry a full path names, following links as the platform does;
  // false when it cannot be opened.
  virtual bool IdentityOf(const std::string& path, FileIdentity& identity) = 0;
  virtual std::vector<std::string> ShellFolders() = 0;
  virtual std::string TempDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  // A number nobody can foresee.
  virtual uint32_t RandomNumber() = 0;
  // The user's UI language, as a Windows language id (0x0409: English, US).
  virtual uint16_t UserUiLanguage() = 0;
  virtual LocalTime Now() = 0;
  // The packed version word of the running system.
  virtual uint32_t VersionWord() = 0;

  // The log of an administrator's run, by its full path: opened for
  // appending, or fresh: created new, never a file that stands already. Only
  // where its path says: never through a link on its way or at its end, and
  // never a device, a directory or a file with another name; a new one only
  // the run's account, SYSTEM and the administrators may open. Then one line
  // per call, with the time; nothing without a log.
  virtual LogRefusal OpenLog(const std::string& path, bool fresh) = 0;
  virtual void Log(const std::string& line) = 0;
  // A line on the process's standard error, where whoever started it reads
  // it (a deployment tool, a console); nothing where there is none.
  virtual void TellStandardError(const std::string& line) = 0;

  // Administrator rights: the test (false for a filtered token), and whether
  // User Account Control is on.
  virtual bool IsAdministrator() = 0;
  virtual bool UacIsOn() = 0;

  // True when a mutex of that name exists, also one that denies access; the
  // check itself makes none.
  virtual bool MutexInUse(const std::string& name) = 0;
  // The executable file names of the running processes, as the process list gives them.
  virtual std::vector<std::string> RunningExecutables() = 0;
  // The whole file, shared for reading only; false when it cannot be opened
  // or holds more than max_bytes.
  virtual bool ReadScriptFile(const std::string& path, size_t max_bytes, std::string& bytes) = 0;

 protected:
  // A platform is never deleted through these interfaces.
  ~RunSystem() = default;
};

// Whether two full paths name one entry: by identity where both entries can
// be opened and their volume gives ids, otherwise by name as the system
// compares names, trailing backslashes aside.
bool SameEntry(RunSystem& system, const std::string& a, const std::string& b);
// The same with the first entry's identity known (found: it could be opened).
bool SameEntry(RunSystem& system, const std::string& a, bool found, const FileIdentity& identity, const std::string& b);

// The confirmation window, with the run's texts. A plan has none.
class RunWindow {
 public:
  virtual bool OpenWindow() = 0;
  virtual void HideDeleteAllOption() = 0;
  // kWindowIdle once, when the window first waits for input; then the next
  // control the user activated, or kNoControl.
  virtual int WaitForControl() = 0;
  virtual void EnterRemovingState() = 0;
  virtual bool IsDeleteAllChecked() = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  // How far the removal has come: done of total, or an unknown total (0).
  virtual void ShowProgress(size_t done, size_t total) = 0;
  // The removal steps have ended: the progress stands full and Ready acts;
  // Details is offered when something stayed.
  virtual void EndRemovingState(bool offer_details) = 0;
  // The list of what stayed, in a window of its own, from where the folder
  // can be opened.
  virtual void ShowDetails(const std::string& text, const std::string& folder) = 0;
  // A step has ended: its last text must be on the screen.
  virtual void FinishStep() {}
  virtual void ShowMessage(const std::string& caption, const std::string& text, unsigned style) = 0;
  // The run is done with the window; the process ends right after.
  virtual void CloseWindow() = 0;

 protected:
  ~RunWindow() = default;
};

// The file system, by full path and from the own directory down. A plan
// keeps it, looking only.
class RunFiles {
 public:
  // By full path. RemoveAbsolute takes a file, or a directory only when it
  // is empty, that lies outside the installation by design, and only as the
  // path names it: never through a link on the way. Read-only files stay.
  virtual bool FileExists(const std::string& path) = 0;
  virtual RemovalResult RemoveAbsolute(const std::string& path, bool directory) = 0;
  // The entries a directory holds, as its listing shows them.
  virtual std::vector<HeldEntry> EntriesOf(const std::string& directory) = 0;

  // The installation, reached only from the own directory down: each
  // directory on the way is held so that nobody can rename or replace it
  // while the removal works, and a link below the own directory is never
  // passed through. kept: paths below the own directory (parts joined by
  // backslashes) that kTree and kFiles leave. False when the own directory
  // cannot be held; nothing is removed then, and both modes fail.
  virtual bool HoldInstallation(const std::string& own_directory, const std::vector<std::string>& kept) = 0;
  // The entry at that path below the own directory (parts joined by single
  // backslashes; empty: the own directory itself).
  virtual Outcome RemoveInstalled(const std::string& relative, Removal how, RemovalListener& listener) = 0;
  virtual void ReleaseInstallation() = 0;
  // From now on nothing changes: every removal opens and lists entries as it
  // would, reports what it would do, and every later look, FileExists and
  // EntriesOf too, sees what it would have removed as gone.
  virtual void LookOnly() = 0;
  // A plan's second look from one point of its run: what it would have
  // removed so far is remembered, and later all since then forgotten.
  virtual void RememberLook() {}
  virtual void BackToRememberedLook() {}

 protected:
  ~RunFiles() = default;
};

// The registry: what it holds, read only, and its changes, one value or one
// key at a time.
class RunRegistry {
 public:
  // Whether a value exists (of any type; text receives it when it is a
  // string), and what a key holds.
  virtual bool ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                                 std::string& text) = 0;
  virtual KeyHolds RegistryKeyHolds(RegistryRoot root, const std::string& key) = 0;
  // The system's own name of an existing key, the same through every alias
  // that reaches it (HKCR\x and HKLM\Software\Classes\x; HKCU and
  // HKU\<the user's SID>); empty where it cannot be opened.
  virtual std::string KeyPathOf(RegistryRoot root, const std::string& key) = 0;
  // Whether the run's account may make that change on an existing key:
  // delete a value, make a key below it, or delete the key itself.
  virtual bool RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) = 0;
  virtual RemovalResult DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) = 0;
  virtual RemovalResult DeleteRegistryKey(RegistryRoot root, const std::string& key) = 0;

 protected:
  ~RunRegistry() = default;
};

// What the run starts, and whose rights it takes on.
class RunProcesses {
 public:
  // Starts a program, or opens a document through the shell where the rule
  // allows, and waits for its end or the rule's limit.
  virtual ProgramOutcome RunProgram(const std::string& program, const std::string& parameters,
                                    const std::string& working_directory, const WaitRule& rule) = 0;
  // Hands the text to the script host, which compiles and runs it; quiet:
  // the script may show nothing that waits for an answer.
  // Waited for at most timeout_ms (0: the host's own bound).
  virtual ScriptOutcome RunScript(const std::string& language, const std::string& text, bool quiet,
                                  uint32_t timeout_ms) = 0;
  // The batch that removes the executable and its directory after the exit;
  // the batch's path, empty where it could not be written or started.
  virtual std::string StartSelfDeleteBatch(const std::string& own_directory) = 0;
  // The program started once more through the system's elevation prompt
  // with these arguments and waited for (not started: declined); the logon
  // window on top of the confirmation window (the run acts as the
  // administrator after a logon), and the end of that.
  virtual ProgramOutcome RunElevated(const std::string& arguments) = 0;
  virtual void RunLogonDialog() = 0;
  virtual void EndImpersonation() = 0;

 protected:
  ~RunProcesses() = default;
};

// The run's way to the window and the machine, in the parts a plan treats
// apart: it keeps the system and the file system (looking only), and puts
// its own in place of the window, the registry and what starts programs.
struct RunPlatform {
  RunSystem& system;
  RunWindow& window;
  RunFiles& files;
  RunRegistry& registry;
  RunProcesses& processes;
  // A plan's: every change is only told, and its log line says what would be.
  bool told = false;

  RunPlatform(RunSystem& s, RunWindow& w, RunFiles& f, RunRegistry& r, RunProcesses& p, bool plan = false)
      : system(s), window(w), files(f), registry(r), processes(p), told(plan) {}
  // A platform that is all its parts.
  template <typename All, typename = std::enable_if_t<std::is_base_of_v<RunFiles, All>>>
  RunPlatform(All& all) : RunPlatform(all, all, all, all, all) {}  // NOLINT(google-explicit-constructor)
};
