// The settings reader's files on the disk.
#pragma once

#include "platform/run_platform.h"

class DiskFiles final : public FileReader {
 public:
  HeldFileBytes ReadHeldFile(const std::string& path) override;
  std::string LegacyText(std::string_view bytes) override;
  bool Utf8Text(std::string_view utf8, std::string& text) override;
};
