// The batch file that outlives the uninstaller: it deletes the executable once
// the process has ended, then the own directory if that is still there and
// empty, then itself.
//
// Before the batch starts, the program moves its own file to a name no other
// file has, beside the batch where it can: a new uninstall.exe that a
// reinstall puts at the old path right after the exit is never touched, and a
// batch that names only that new name and its own place needs no character
// outside ASCII, whatever the own directory is called.
#pragma once

#include <cstdint>
#include <string>

constexpr char kSelfDeleteBatchName[] = "~~uninst.bat";

// The root of the executable's drive ("D:\\"), the batch's first choice of
// place; empty for a path without a drive letter (a network path). Where the
// root cannot take a file, the batch stands in the user's temporary directory.
std::string DriveRootOf(const std::string& exe);

// A name for the executable's file that no other file has while it runs.
std::string RetiredExecutableName(uint32_t process_id);

// The whole batch, lines ending in CR LF: deletes target, waiting a second
// between attempts for about a minute; then removes directory (when not
// empty, with one trailing backslash dropped); then deletes bat. Percent
// signs are doubled, so that cmd.exe reads every path as written.
std::string SelfDeleteBatchText(const std::string& target, const std::string& directory, const std::string& bat);

// Writes the file anew, replacing any earlier one whole, in the code page that
// cmd.exe reads batch files in. A text that code page cannot hold, or a file
// that could not be written completely, leaves no file; false then.
bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text);

// Moves the executable out of the way, writes the batch where it can stand and
// starts it hidden. The own directory is removed when it is empty; an empty
// argument keeps it. The batch's path once it is started; empty when it
// could not be.
std::string StartSelfDeleteBatch(const std::string& own_directory);
