// The batch file that outlives the uninstaller: it deletes the executable once
// the process has ended, then the own directory if that is still there and
// empty, then itself with the directory it stands in.
//
// No path is ever parsed as commands: the batch reads the paths it acts on
// from the environment it is started with, always inside quotes, with
// delayed expansion off; its own text holds only fixed words, the system's
// directory and the name of its directory, which the program draws itself.
//
// The batch stands in a directory that the program creates anew, under a
// name nobody can guess: in the user's temporary directory, or in an
// administrator's run in the system's, where only administrators and the
// system may change it. Before the batch starts, the program moves its own
// file into that directory where it can; the batch then names nothing but
// its home, by a plain name relative to where it runs.
#pragma once

#include <cstdint>
#include <string>

constexpr char kSelfDeleteBatchName[] = "~~uninst.bat";

// A name for the executable's file that no other file has while it runs.
std::string RetiredExecutableName(uint32_t process_id);

// The batch's directory's name: a fixed beginning and 16 hex digits of the
// random bytes.
constexpr char kBatchDirectoryPrefix[] = "~qmu-";
std::string BatchDirectoryName(const uint8_t (&random)[8]);

// Where that directory is made: the user's temporary directory, or in an
// administrator's run the system's (windows_directory\Temp\), which the
// user's own programs, running without those rights, cannot change.
std::string BatchParent(bool elevated, const std::string& temp_directory, const std::string& windows_directory);

// The rights of that directory in an administrator's run: owned by the
// administrators, the system and administrators may do everything, the user
// (by SID) only read and run, and nothing is inherited from above.
std::string BatchDirectoryRights(const std::string& user_sid);

// What the batch acts on, handed to it through its environment.
struct SelfDeleteTarget {
  // The file to delete: a full path, or one relative to the home's parent,
  // where the batch runs.
  std::string file;
  std::string directory;  // removed when empty after the file; empty: none
  // For a file that stayed at the program's own path: its size. The batch
  // deletes it only while it still has that size and the time it had when
  // the batch started, and no new uninstall.dat stands beside it, so that a
  // reinstall's new file is never taken. 0: the file bears a name of this
  // run's own, and goes whatever it holds.
  uint32_t guard_size = 0;
  std::string settings;  // that uninstall.dat's path, for the guard
};

// Where the program's file went before the batch starts, in the order tried:
// into the batch's home, beside itself under a name of this run's, or
// nowhere (another volume and a hold that lets it not be renamed).
enum class Retired : uint8_t { kIntoHome, kBesideItself, kNowhere };

// The full path the program's file (exe) is moved to, for the first two.
std::string RetiredPath(Retired where, const std::string& exe, const std::string& home, uint32_t process_id);

// What the batch is told once the file went where it went; the own directory
// is named only where the file is still in it. A guard size is the caller's
// to set for kNowhere.
SelfDeleteTarget SelfDeleteTargetFor(Retired where, const std::string& exe, const std::string& home,
                                     const std::string& own_directory, uint32_t process_id);

// The environment block: NAME=value texts, each ending in a zero byte, and
// one more zero byte at the end. The system's directory comes along, which
// the system's programs need.
std::string SelfDeleteEnvironment(const SelfDeleteTarget& target, const std::string& windows_directory);

// The whole batch, lines ending in CR LF, run in the parent of its home
// (named by its name alone): deletes the file, read-only or not, waiting
// a second between attempts for about a minute; then removes the directory
// when one is named; then itself and its home. Programs are named by their
// paths in system_directory. Empty when that directory or the
// home's name is not plain enough to stand in a batch unquoted (letters,
// digits and \:._~- only).
std::string SelfDeleteBatchText(const SelfDeleteTarget& target, const std::string& system_directory,
                                const std::string& home);

// The command line that runs the batch in home through the system's
// cmd.exe, from home's parent, by a name relative to it: without AutoRun
// commands, with extensions on and delayed expansion off, whatever the
// registry says.
std::string BatchCommandLine(const std::string& home);

// Makes the batch's directory anew in parent, under an unguessable name; in
// an administrator's run with the rights above (none when they cannot be
// set). Its path with a trailing backslash; empty when none could be made.
std::string MakeBatchDirectory(const std::string& parent, bool elevated);

// Writes a new file, never one that was there. A file that could not be
// written completely leaves no file; false then.
bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text);

// Starts the batch (the home's path and the batch's name) hidden through the
// system's cmd.exe, with that environment, working in the home's parent.
bool StartBatch(const std::string& home, const std::string& environment);

// Makes the batch's directory, moves the executable out of the way, writes
// the batch and starts it. The own directory is removed when it is empty; an
// empty argument keeps it. The batch's path once it is started; empty when
// it could not be.
std::string StartSelfDeleteBatch(const std::string& own_directory);
