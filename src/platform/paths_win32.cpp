#include "platform/paths_win32.h"

#include <windows.h>

namespace {

constexpr DWORD kLongestPath = 32768;

}  // namespace

std::string ModulePath() {
  std::string buffer(kLongestPath, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, &buffer[0], kLongestPath);
  buffer.resize(length < kLongestPath ? length : 0);
  return buffer;
}

std::string CurrentDirectory() {
  std::string buffer(kLongestPath, '\0');
  const DWORD length = GetCurrentDirectoryA(kLongestPath, &buffer[0]);
  buffer.resize(length < kLongestPath ? length : 0);
  return buffer;
}
