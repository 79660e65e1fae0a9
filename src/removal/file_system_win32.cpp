#include <windows.h>

#include "platform/owners_win32.h"
#include "removal/file_system.h"

bool FileExists(const std::string& path) {
  if (path.empty() || NamesDrive(path)) return false;
  // A network path that the search does not find is a share or missing: never a
  // file. A path beyond the platform's limit is refused by the search, so it is
  // never taken for a shorter one.
  const std::string name = WithoutTrailingBackslashes(path);
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA(name.c_str(), &found));
  return search.Valid() && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
