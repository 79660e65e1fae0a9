#include "platform/run_platform.h"

bool IsPredefinedRoot(RegistryRoot root) {
  // 0x80000004 is the performance-data root and 0x80000006 the dynamic-data
  // one: neither holds keys a program installs.
  return root <= 0x80000005u && root >= kClassesRoot && root != 0x80000004u;
}

std::string StatusText(const std::string& item) { return "  " + item; }
