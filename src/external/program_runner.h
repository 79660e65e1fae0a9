// Starts a program or opens a document, waits for its end and reads its exit
// code. The command line and the shell's directory are decided here.
#pragma once

#include <string>

// The program path in double quotes (unless it already begins with one), then
// one blank and the parameters unchanged, when there are any.
std::string CommandLineFor(const std::string& program, const std::string& parameters);

// The directory for the shell's "Open": the working directory, or else the
// program's own directory up to its last backslash, unless that backslash is
// the path's first character.
std::string ShellDirectoryFor(const std::string& program, const std::string& working_directory);
