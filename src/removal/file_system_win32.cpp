#include <windows.h>

#include "platform/owners_win32.h"
#include "removal/file_system.h"

namespace {

bool IsDirectoryLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A junction or directory symbolic link goes as a link: what it points to lies
// outside the tree being purged and is never listed, emptied or removed.
bool RemoveDirectoryLink(const std::string& link) { return RemoveDirectoryA(link.c_str()) != FALSE; }

}  // namespace

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

bool IsDirectoryEmpty(const std::string& directory) {
  // An empty path would list the current drive's root, which is never meant.
  if (directory.empty()) return false;
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((WithTrailingBackslash(directory) + "*.*").c_str(), &found));
  if (!search.Valid()) return false;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !IsDotEntry(found.cFileName)) return false;
  } while (FindNextFileA(search.Get(), &found));
  return true;
}

bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive, bool clear_attributes) {
  if (directory.empty()) return false;
  const std::string link = WithoutTrailingBackslashes(directory);
  if (IsDirectoryLink(GetFileAttributesA(link.c_str()))) return RemoveDirectoryLink(link);
  const std::string root = WithTrailingBackslash(directory);
  const std::string mask = pattern.empty() ? "*.*" : pattern;
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((root + mask).c_str(), &found));
  if (!search.Valid()) return false;
  do {
    const std::string name = found.cFileName;
    const std::string path = root + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recursive && !IsDotEntry(name)) PurgeDirectory(path, mask, recursive, clear_attributes);
      continue;
    }
    if (clear_attributes) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  } while (FindNextFileA(search.Get(), &found));
  search.Reset();
  if (clear_attributes) SetFileAttributesA(root.c_str(), FILE_ATTRIBUTE_NORMAL);
  return RemoveDirectoryA(root.c_str()) != FALSE;
}
