// The batch file that outlives the uninstaller: it deletes the executable once
// the process has ended, then the own directory if that is still there and
// empty, then itself with the directory it stands in.
//
// The batch stands in a directory that the program creates anew, under a
// name nobody can guess, in the user's temporary directory; in an
// administrator's run only administrators and the system may change it.
// Before the batch starts, the program moves its own file into that
// directory where it can: a new uninstall.exe that a reinstall puts at the old
// path right after the exit is never touched, and the batch then names no
// path at all.
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

// The rights of that directory in an administrator's run: the system and
// administrators may do everything, the user (by SID) only read and run, and
// nothing is inherited from above.
std::string BatchDirectoryRights(const std::string& user_sid);

// The whole batch, lines ending in CR LF: deletes target (a name alone: the
// file beside the batch), read-only or not, waiting a second between attempts
// for about a minute; then removes directory (when not empty, with one
// trailing backslash dropped); then itself and its directory. Percent signs
// are doubled, so that cmd.exe reads every path as written.
std::string SelfDeleteBatchText(const std::string& target, const std::string& directory);

// Makes the batch's directory anew in parent, under an unguessable name; in
// an administrator's run with the rights above (none when they cannot be
// set). Its path with a trailing backslash; empty when none could be made.
std::string MakeBatchDirectory(const std::string& parent);

// The command line that runs the batch through the system's cmd.exe:
// without AutoRun commands, the batch's path quoted as a whole.
std::string BatchCommandLine(const std::string& bat);

// Writes a new file, never one that was there, in the code page that cmd.exe
// reads batch files in. A text that code page cannot hold, or a file that
// could not be written completely, leaves no file; false then.
bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text);

// Makes the batch's directory, moves the executable out of the way, writes
// the batch and starts it hidden through the system's cmd.exe. The own
// directory is removed when it is empty; an empty argument keeps it. The
// batch's path once it is started; empty when it could not be.
std::string StartSelfDeleteBatch(const std::string& own_directory);
