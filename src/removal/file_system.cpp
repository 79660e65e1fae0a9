#include "removal/file_system.h"

bool NamesDrive(const std::string& path) { return (path.size() == 2 || path.size() == 3) && path[1] == ':'; }

std::string WithoutTrailingBackslashes(const std::string& path) {
  const size_t last = path.find_last_not_of('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string WithTrailingBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }
