#include "removal/file_system.h"

bool NamesDrive(const std::string& path) { return (path.size() == 2 || path.size() == 3) && path[1] == ':'; }

std::string InUsePrefix(uint32_t process_id) { return "~qm" + DecimalText(static_cast<int32_t>(process_id)) + "-"; }

std::string InUseName(uint32_t process_id, int attempt) {
  return JoinTexts({InUsePrefix(process_id), DecimalText(attempt), ".tmp"});
}
