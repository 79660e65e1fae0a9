// What the installer's author wrote into uninstall.dat that the program will
// skip, refuse or misread (errors), or that is legal but likely not meant
// (warnings): found in the file alone, by the same reader and the same
// decisions the program uses, for the checker and for /PLAN's notes.
#pragma once

#include <string>
#include <vector>

#include "platform/run_platform.h"

struct AuthorFinding {
  bool error = false;
  int line = 0;  // of the file, from 1; the first line where the file lacks one
  std::string text;
};

// Every finding in the file's bytes, in the order of its lines.
std::vector<AuthorFinding> CheckSettingsFile(const std::string& bytes, FileReader& files);

// The decisions /PLAN's notes share with the checker.
// Pairs (i, j): the [Dirs] value i comes before the value j that lies inside
// it, so that i is never empty when its turn comes; paths: the values' paths
// below the own directory in capitals, "" for one that is none.
std::vector<std::pair<size_t, size_t>> DirsBeforeOneInside(const std::vector<std::string>& paths);
// Whether one of the [Files] paths (as above) is the program's file.
bool FilesNameTheProgram(const std::vector<std::string>& paths, const std::string& prog_exe);
