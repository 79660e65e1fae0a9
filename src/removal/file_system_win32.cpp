#include <windows.h>

#include <cstring>

#include "platform/owners_win32.h"
#include "removal/file_system.h"

namespace {

// A path in the platform's wide form. The walks work on these so that every
// name is seen and removed by its real name, also one the ANSI code page
// cannot hold. A path that does not fit within the platform's limit is
// refused, never cut.
class WidePath {
 public:
  // From 8-bit text in the ANSI code page.
  bool Assign(const std::string& path) {
    const int length =
        path.empty() ? 0
                     : MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), text_, MAX_PATH - 1);
    if (length <= 0) return false;
    Truncate(static_cast<size_t>(length));
    return true;
  }
  bool Append(const wchar_t* text) {
    const size_t added = wcslen(text);
    if (length_ + added >= MAX_PATH) return false;
    std::memcpy(text_ + length_, text, (added + 1) * sizeof(wchar_t));
    length_ += added;
    return true;
  }
  // The full path the platform resolves the given one to.
  bool Resolve(const WidePath& given) {
    const DWORD length = GetFullPathNameW(given.Text(), MAX_PATH, text_, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    Truncate(length);
    return true;
  }
  bool EndsInBackslash() const { return length_ > 0 && text_[length_ - 1] == L'\\'; }
  void Truncate(size_t length) {
    length_ = length;
    text_[length] = L'\0';
  }
  size_t Length() const { return length_; }
  const wchar_t* Text() const { return text_; }

 private:
  wchar_t text_[MAX_PATH];
  size_t length_ = 0;
};

bool IsDot(const wchar_t* name) { return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)); }

// Junctions and directory symbolic links redirect by name. Other reparse
// points on directories (cloud placeholders and the like) hold real content;
// a platform that reports no tag is taken at its word that it is a link.
bool IsLinkEntry(const WIN32_FIND_DATAW& found) {
  constexpr DWORD kNameSurrogate = 0x20000000;
  const DWORD link_bits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return (found.dwFileAttributes & link_bits) == link_bits &&
         (found.dwReserved0 == 0 || (found.dwReserved0 & kNameSurrogate) != 0);
}

FindHandle FindFirst(const WidePath& pattern, WIN32_FIND_DATAW& found) {
  return FindHandle(FindFirstFileW(pattern.Text(), &found));
}

// Lists the directory (a path ending in a backslash) with the pattern.
FindHandle ListDirectory(WidePath& directory, const wchar_t* pattern, WIN32_FIND_DATAW& found) {
  const size_t length = directory.Length();
  FindHandle search;
  if (directory.Append(pattern)) search = FindFirst(directory, found);
  directory.Truncate(length);
  return search;
}

bool IsEmptyDirectory(WidePath& directory) {
  WIN32_FIND_DATAW found;
  FindHandle search = ListDirectory(directory, L"*.*", found);
  if (!search.Valid()) return false;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !IsDot(found.cFileName)) return false;
  } while (FindNextFileW(search.Get(), &found));
  return true;
}

// Tells the report, if any, what became of one entry.
bool Reported(bool done, const WidePath& path, bool directory, const PurgeReport* report) {
  if (report == nullptr) return done;
  const DWORD error = done ? 0 : GetLastError();
  char name[MAX_PATH * 2];
  const int length = WideCharToMultiByte(CP_ACP, 0, path.Text(), -1, name, sizeof(name), nullptr, nullptr);
  report->entry(report->context, length > 0 ? name : "", directory, error);
  return done;
}

// A platform that resolves the link on removal would take an empty target
// instead of the link: such a link is left. Others go as links.
bool RemoveLink(WidePath& link, const PurgeReport* report) {
  const size_t length = link.Length();
  const bool empty_target = link.Append(L"\\") && IsEmptyDirectory(link);
  link.Truncate(length);
  if (empty_target) {
    SetLastError(ERROR_DIR_NOT_EMPTY);  // what it points to would go with it
    return Reported(false, link, true, report);
  }
  return Reported(RemoveDirectoryW(link.Text()) != FALSE, link, true, report);
}

// Files that a purge leaves, by full path.
struct Kept {
  WidePath paths[2];  // the first `count` of them
  size_t count = 0;

  bool Holds(const WidePath& path) const {
    for (size_t i = 0; i < count; ++i) {
      if (CompareStringOrdinal(paths[i].Text(), -1, path.Text(), -1, TRUE) == CSTR_EQUAL) return true;
    }
    return false;
  }
};

// Deletes the file or removes the (empty) directory. Where clearing is allowed
// and it is refused for its read-only attribute, the attributes are cleared
// and it is tried once more; what still stays gets its attributes back.
bool Remove(const WidePath& path, bool directory, bool clear_attributes) {
  BOOL(WINAPI * remove)(LPCWSTR) = directory ? RemoveDirectoryW : DeleteFileW;
  if (remove(path.Text())) return true;
  const DWORD error = GetLastError();
  const DWORD attributes = clear_attributes ? GetFileAttributesW(path.Text()) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    SetLastError(error);
    return false;
  }
  SetFileAttributesW(path.Text(), FILE_ATTRIBUTE_NORMAL);
  if (remove(path.Text())) return true;
  const DWORD still = GetLastError();
  SetFileAttributesW(path.Text(), attributes);
  SetLastError(still);
  return false;
}

bool Purge(WidePath& directory, const wchar_t* pattern, bool recursive, bool clear_attributes, const Kept& kept,
           const PurgeReport* report) {
  const size_t length = directory.Length();
  WIN32_FIND_DATAW found;
  FindHandle search = ListDirectory(directory, pattern, found);
  if (!search.Valid()) return false;
  do {
    if (!directory.Append(found.cFileName)) continue;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      if (kept.Holds(directory)) {
        directory.Truncate(length);
        continue;
      }
      Reported(Remove(directory, false, clear_attributes), directory, false, report);
    } else if (recursive && !IsDot(found.cFileName)) {
      // A link met on the way goes as a link: what it points to is never entered.
      if (IsLinkEntry(found)) {
        RemoveLink(directory, report);
      } else if (directory.Append(L"\\")) {
        Purge(directory, pattern, recursive, clear_attributes, kept, report);
      }
    }
    directory.Truncate(length);
  } while (FindNextFileW(search.Get(), &found));
  search.Reset();
  return Reported(Remove(directory, true, clear_attributes), directory, true, report);
}

// The directory path in wide form, ending in a backslash.
bool DirectoryPath(const std::string& directory, WidePath& path) {
  return !directory.empty() && path.Assign(directory) && (path.EndsInBackslash() || path.Append(L"\\"));
}

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
  WidePath path;
  return DirectoryPath(directory, path) && IsEmptyDirectory(path);
}

bool PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive, bool clear_attributes,
                    KeptFiles kept, const PurgeReport* report) {
  WidePath path;
  WidePath mask;
  if (!DirectoryPath(directory, path) || !mask.Assign(pattern.empty() ? "*.*" : pattern)) return false;
  // Compared with the walk's paths in the form the platform resolves them to;
  // a path that cannot be resolved would keep nothing, so nothing is purged.
  Kept resolved;
  for (const std::string* file : {kept.first, kept.second}) {
    WidePath given;
    if (file == nullptr) continue;
    if (!given.Assign(*file) || !resolved.paths[resolved.count].Resolve(given)) return false;
    ++resolved.count;
  }
  if (!path.Resolve(WidePath(path))) return false;
  return Purge(path, mask.Text(), recursive, clear_attributes, resolved, report);
}

bool IsDirectoryLink(const std::string& path) {
  // A search pattern would match some other entry.
  if (path.find_first_of("*?") != std::string::npos) return false;
  WidePath name;
  WIN32_FIND_DATAW found;
  return name.Assign(path) && FindFirst(name, found).Valid() && IsLinkEntry(found);
}

bool RemoveDirectoryLink(const std::string& link) {
  WidePath path;
  return path.Assign(WithoutTrailingBackslashes(link)) && IsDirectoryLink(link) && RemoveLink(path, nullptr);
}
