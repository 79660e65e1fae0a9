#include "removal/file_system.h"

#include <algorithm>

bool IsDriveRoot(const std::string& path) {
  const std::string end = RightBytes(ReplaceAll(RightBytes(path, 2), "/", "\\"), 2);
  return end == ":\\" || RightBytes(end, 1) == ":";
}

std::string InUsePrefix(uint32_t process_id) { return "~qm" + DecimalText(static_cast<int32_t>(process_id)) + "-"; }

std::string InUseName(uint32_t process_id, int attempt) {
  return JoinTexts({InUsePrefix(process_id), DecimalText(attempt), ".tmp"});
}

bool IsInUseName(const std::string& name) {
  const auto digits = [&](size_t at) {
    size_t end = at;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
    return end > at ? end : std::string::npos;
  };
  if (name.compare(0, 3, "~qm") != 0) return false;
  const size_t dash = digits(3);
  if (dash == std::string::npos || dash >= name.size() || name[dash] != '-') return false;
  const size_t dot = digits(dash + 1);
  return dot != std::string::npos && name.compare(dot, std::string::npos, ".tmp") == 0;
}

std::string FolderOf(const std::string& path) {
  const std::string folder = WithoutTrailingBackslashes(DirectoryOf(path));
  return !folder.empty() && folder.back() == ':' && IsDriveRoot(folder) ? folder + "\\" : folder;
}

bool BeyondPathLimit(const std::string& path) { return Utf16Units(path) >= kPathLimit; }

std::string LongPathForm(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 3 && trimmed.back() == '\\') trimmed.pop_back();
  if (trimmed.compare(0, 2, "\\\\") == 0) return "\\\\?\\UNC" + trimmed.substr(1);
  return "\\\\?\\" + trimmed;
}

bool MayHoldUnlisted(uint32_t attributes) {
  constexpr uint32_t kOffline = 0x1000, kRecallOnOpen = 0x40000, kRecallOnDataAccess = 0x400000;
  return (attributes & (kOffline | kRecallOnOpen | kRecallOnDataAccess)) != 0;
}

bool ReparseTagLeadsElsewhere(uint32_t tag) {
  constexpr uint32_t kNameSurrogate = 0x20000000;
  return tag == 0 || (tag & kNameSurrogate) != 0;
}

bool PlannedEntry::operator<(const PlannedEntry& other) const {
  return identity < other.identity || (identity == other.identity && name < other.name);
}

bool PlannedEntry::operator==(const PlannedEntry& other) const {
  return identity == other.identity && name == other.name;
}

void PlannedRemovals::Add(PlannedEntry entry) {
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), entry);
  if (at == entries_.end() || !(*at == entry)) entries_.insert(at, std::move(entry));
}

bool PlannedRemovals::Has(const PlannedEntry& entry) const {
  return std::binary_search(entries_.begin(), entries_.end(), entry);
}
