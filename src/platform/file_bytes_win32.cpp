#include "platform/file_bytes_win32.h"

bool ReadWholeFile(HANDLE file, size_t max_bytes, std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || static_cast<ULONGLONG>(size.QuadPart) > max_bytes) return false;
  bytes.reserve(bytes.size() + static_cast<size_t>(size.QuadPart));
  std::string buffer(65536, '\0');
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, &buffer[0], static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
    if (read == 0) return true;
    if (bytes.size() + read > max_bytes) return false;
    bytes.append(buffer, 0, read);
  }
}
