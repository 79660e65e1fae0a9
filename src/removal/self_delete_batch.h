// The batch file that outlives the uninstaller: it deletes the executable once
// the process has ended, then the own directory if that is empty, then itself.
#pragma once

#include <string>

// The batch's place: the root of the executable's drive. Empty when the
// executable has no drive letter (a network path), so that nothing is written.
std::string SelfDeleteBatchPath(const std::string& exe);

// The whole batch, lines ending in CR LF. The loop waits a second between
// attempts and gives up after about a minute.
std::string SelfDeleteBatchText(const std::string& exe, const std::string& own_directory);

// Writes the file anew, replacing any earlier one whole. A file that could not
// be written completely is deleted again; false then.
bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text);

// Writes the batch to the drive root and starts it hidden.
void StartSelfDeleteBatch(const std::string& own_directory);
