// The real platform for in-process tests, except that the self-deleting batch
// is only recorded: started from a test, it would delete the test program.
#pragma once

#include <string>
#include <vector>

#include "driver/run_platform_win32.h"

class InProcessPlatform : public Win32RunPlatform {
 public:
  using Win32RunPlatform::Win32RunPlatform;
  void StartSelfDeleteBatch(const std::string& own_directory) override { batches.push_back(own_directory); }
  std::vector<std::string> batches;
};
