#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/owners_win32.h"
#include "platform/paths_win32.h"
#include "removal/self_delete_batch.h"

bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text) {
  FileHandle file(CreateFileA(bat.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    file.Reset(CreateFileA(bat.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!file.Valid()) return false;
  DWORD written = 0;
  const bool complete = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                        written == text.size() && FlushFileBuffers(file.Get());
  file.Reset();
  // A batch cut short could stop anywhere: it is never left to be started.
  if (!complete) DeleteFileA(bat.c_str());
  return complete;
}

void StartSelfDeleteBatch(const std::string& own_directory) {
  const std::string exe = ModulePath();
  const std::string bat = SelfDeleteBatchPath(exe);
  if (bat.empty() || !WriteSelfDeleteBatch(bat, SelfDeleteBatchText(exe, own_directory))) return;
  ShellExecuteA(nullptr, "open", bat.c_str(), nullptr, nullptr, SW_HIDE);
}
