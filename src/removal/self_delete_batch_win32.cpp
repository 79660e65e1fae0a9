#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/owners_win32.h"
#include "platform/paths_win32.h"
#include "removal/self_delete_batch.h"
#include "text/text.h"

namespace {

// cmd.exe reads a batch file in the OEM code page, not the ANSI one. A
// character that page lacks, or could only approximate, would make a path
// name another file: such a text is refused.
bool InBatchCodePage(const std::string& text, std::string& converted) {
  // Four paths and a few commands; a longer text is refused rather than cut.
  constexpr int kLongest = 8192;
  wchar_t wide[kLongest];
  char bytes[kLongest];
  BOOL approximated = FALSE;
  const int wide_length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide, kLongest);
  const int length =
      WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide, wide_length, bytes, kLongest, nullptr, &approximated);
  converted.assign(bytes, length > 0 ? static_cast<size_t>(length) : 0);
  return length == static_cast<int>(text.size()) && !approximated;
}

}  // namespace

bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text) {
  std::string bytes;
  FileHandle file;
  // A stale file that cannot be replaced (hidden, say) is emptied instead.
  for (const DWORD how : {CREATE_ALWAYS, TRUNCATE_EXISTING}) {
    if (!file.Valid() && InBatchCodePage(text, bytes)) {
      file.Reset(
          CreateFileA(bat.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
  }
  DWORD written = 0;
  const bool complete = file.Valid() &&
                        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file.Get());
  file.Reset();
  // A batch cut short, or one cmd.exe would misread, is never left to be started.
  if (!complete) DeleteFileA(bat.c_str());
  return complete;
}

std::string StartSelfDeleteBatch(const std::string& own_directory) {
  const std::string exe = ModulePath();
  const std::string retired = RetiredExecutableName(GetCurrentProcessId());
  for (int choice = 0; choice < 2; ++choice) {
    const std::string place = choice == 0 ? DriveRootOf(exe) : TempDirectory();
    const std::string bat = place + kSelfDeleteBatchName;
    // The place must take a file, under a name the batch can spell.
    if (place.empty() || !WriteSelfDeleteBatch(bat, "exit\r\n")) continue;
    // Neither this process nor the batch holds the own directory as its current one.
    SetCurrentDirectoryA(place.c_str());
    std::string target = place + retired;
    std::string directory;
    if (MoveFileA(exe.c_str(), target.c_str())) {
      // Nothing of the program is left in its directory: the directory goes
      // now if it is empty, and the batch never names it.
      RemoveDirectoryA(own_directory.c_str());
    } else {
      // It lies on another volume, or a process holds it without letting it
      // be renamed: it takes its new name where it is, if it can, and the
      // batch names the directory.
      target = DirectoryOf(exe) + retired;
      if (!MoveFileA(exe.c_str(), target.c_str())) target = exe;
      directory = own_directory;
    }
    const bool started =
        WriteSelfDeleteBatch(bat, SelfDeleteBatchText(target, directory, bat)) &&
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", bat.c_str(), nullptr, nullptr, SW_HIDE)) > 32;
    return started ? bat : std::string();
  }
  return std::string();
}
