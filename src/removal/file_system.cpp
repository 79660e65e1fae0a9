#include "removal/file_system.h"

bool NamesDrive(const std::string& path) { return (path.size() == 2 || path.size() == 3) && path[1] == ':'; }

std::string InUsePrefix(uint32_t process_id) { return "~qm" + DecimalText(static_cast<int32_t>(process_id)) + "-"; }

std::string InUseName(uint32_t process_id, int attempt) {
  return JoinTexts({InUsePrefix(process_id), DecimalText(attempt), ".tmp"});
}

std::string LongPathForm(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 3 && trimmed.back() == '\\') trimmed.pop_back();
  if (trimmed.compare(0, 2, "\\\\") == 0) return "\\\\?\\UNC" + trimmed.substr(1);
  return "\\\\?\\" + trimmed;
}
