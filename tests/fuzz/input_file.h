// The fuzzer's input as the one file every path names.
#pragma once

#include <string>

#include "settings/settings_file.h"

class InputFile final : public WesternFileReader {
 public:
  explicit InputFile(const std::string& bytes) : bytes_(bytes) {}
  HeldFileBytes ReadHeldFile(const std::string&) override {
    HeldFileBytes result;
    result.opened = true;
    result.bytes = bytes_;
    result.hold = FileHold(nullptr, nullptr);
    return result;
  }

 private:
  const std::string& bytes_;
};
