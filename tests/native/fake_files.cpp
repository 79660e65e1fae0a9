#include "fake_files.h"

#include <map>

#include "settings/settings_file.h"

namespace {

std::map<std::string, std::string>& Files() {
  static std::map<std::string, std::string> files;
  return files;
}

int held = 0;
int token = 0;

void Release(void*) { --held; }

}  // namespace

void StageFile(const std::string& path, const std::string& bytes) { Files()[path] = bytes; }
void ClearStagedFiles() { Files().clear(); }

void RemoveStagedFilesUnder(const std::string& directory) {
  for (auto it = Files().begin(); it != Files().end();) {
    it = it->first.compare(0, directory.size(), directory) == 0 ? Files().erase(it) : std::next(it);
  }
}
bool StagedFileExists(const std::string& path) { return Files().count(path) != 0; }
bool RemoveStagedFile(const std::string& path) { return Files().erase(path) != 0; }
int HeldFileCount() { return held; }

namespace {

class Staged final : public WesternFileReader {
 public:
  HeldFileBytes ReadHeldFile(const std::string& path) override;
};

}  // namespace

FileReader& StagedFiles() {
  static Staged staged;
  return staged;
}

HeldFileBytes Staged::ReadHeldFile(const std::string& path) {
  HeldFileBytes result;
  const auto found = Files().find(path);
  if (found == Files().end()) return result;
  result.opened = true;
  result.bytes = found->second;
  ++held;
  result.hold = FileHold(&token, Release);
  return result;
}
