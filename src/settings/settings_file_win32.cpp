#include <windows.h>

#include "platform/owners_win32.h"
#include "platform/text_win32.h"
#include "settings/settings_file.h"
#include "settings/settings_file_win32.h"

namespace {

void CloseHeldHandle(void* handle) { CloseHandle(handle); }

}  // namespace

HeldFileBytes DiskFiles::ReadHeldFile(const std::string& path) {
  HeldFileBytes result;
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
  }
  if (!file.Valid()) return result;

  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.Get(), &size) && size.QuadPart <= static_cast<LONGLONG>(kLargestSettingsFile)) {
    result.bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < result.bytes.size()) {
      DWORD read = 0;
      const DWORD want = static_cast<DWORD>(result.bytes.size() - done);
      if (!ReadFile(file.Get(), &result.bytes[done], want, &read, nullptr) || read == 0) break;
      done += read;
    }
    result.bytes.resize(done);
    result.opened = true;
  }
  result.hold = FileHold(file.Release(), CloseHeldHandle);
  return result;
}

std::string DiskFiles::LegacyText(std::string_view bytes) { return LegacyCodePageText(bytes); }
bool DiskFiles::Utf8Text(std::string_view utf8, std::string& text) { return TextOfUtf8(utf8, text); }
