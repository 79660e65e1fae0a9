// The stand-in program and library built for the tests, as the command line
// of the test program names them.
#pragma once

#include <string>

const std::string& ProbeProgram();
const std::string& ProbeLibrary();
