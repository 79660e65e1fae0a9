#include <windows.h>

#include "platform/file_bytes_win32.h"
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

  // A file read only in part is read as none: a cut value could name another file.
  result.opened = ReadWholeFile(file.Get(), kLargestSettingsFile, result.bytes);
  if (!result.opened) result.bytes.clear();
  result.hold = FileHold(file.Release(), CloseHeldHandle);
  return result;
}

std::string DiskFiles::LegacyText(std::string_view bytes) { return LegacyCodePageText(bytes); }
bool DiskFiles::Utf8Text(std::string_view utf8, std::string& text) { return TextOfUtf8(utf8, text); }
