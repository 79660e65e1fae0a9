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
  int line = 0;    // of the file, from 1; the first line where the file lacks one
  int column = 0;  // of the line, in letters from 1; 0 where the finding is the line's
  std::string text;
};

// Every finding in the file's bytes, in the order of its lines.
std::vector<AuthorFinding> CheckSettingsFile(const std::string& bytes, FileReader& files);

// One value the program reads, as the checker finds and decodes it for its
// findings: a key of a keyed group, or one of the values of [Files] and
// [Dirs] in the file's order (key empty).
struct CheckedValue {
  std::string group;
  std::string key;
  bool found = false;
  std::string value;
};

// Every value the program reads in the file, as the checker reads it, so
// that a test can hold it against the program's own reader on any file.
std::vector<CheckedValue> ValuesAsChecked(const std::string& bytes, FileReader& files);
