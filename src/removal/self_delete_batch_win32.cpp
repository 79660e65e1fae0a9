#include <windows.h>
// After windows.h, which they need.
#include <ntsecapi.h>
#include <sddl.h>

#include "platform/owners_win32.h"
#include "platform/paths_win32.h"
#include "removal/self_delete_batch.h"
#include "text/text.h"

namespace {

// cmd.exe reads a batch file in the OEM code page, not the ANSI one. A
// character that page lacks, or could only approximate, would make a path
// name another file: such a text is refused.
bool InBatchCodePage(const std::string& text, std::string& converted) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(text.size(), L'\0');
  converted.assign(text.size(), '\0');
  BOOL approximated = FALSE;
  const int wide_length =
      size == 0 ? 0 : MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], size);
  const int length = wide_length <= 0 ? 0
                                      : WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length,
                                                            &converted[0], size, nullptr, &approximated);
  return length == size && !approximated;
}

// The process runs with an administrator's full rights.
bool IsElevated() {
  KernelHandle token;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) &&
         GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
         elevation.TokenIsElevated != 0;
}

// Rights for an administrator's run that leave the user's own programs,
// which run without those rights, only reading.
struct RestrictedRights {
  SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ~RestrictedRights() { LocalFree(descriptor); }

  // Null when they cannot be formed.
  SECURITY_ATTRIBUTES* Get() {
    KernelHandle token;
    char user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD size = 0;
    char* sid = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
        !GetTokenInformation(token.Get(), TokenUser, user, sizeof(user), &size) ||
        !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid)) {
      return nullptr;
    }
    const bool made = ConvertStringSecurityDescriptorToSecurityDescriptorA(BatchDirectoryRights(sid).c_str(),
                                                                           SDDL_REVISION_1, &descriptor, nullptr);
    LocalFree(sid);
    attributes.lpSecurityDescriptor = descriptor;
    return made ? &attributes : nullptr;
  }
};

// The batch, through the system's own command processor by its full path,
// without AutoRun commands, hidden. It works in the system directory: a
// command processor holds the directory it starts in until it ends, and no
// one but the system may put a program there.
bool StartHidden(const std::string& bat) {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const std::string processor = std::string(system, length) + "\\cmd.exe";
  std::string command = BatchCommandLine(bat);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(processor.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, system,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

std::string MakeBatchDirectory(const std::string& parent) {
  RestrictedRights rights;
  const bool elevated = IsElevated();
  SECURITY_ATTRIBUTES* attributes = elevated ? rights.Get() : nullptr;
  if (parent.empty() || (elevated && attributes == nullptr)) return std::string();
  // A name that is taken is never used: another is drawn.
  for (int attempt = 0; attempt < 4; ++attempt) {
    uint8_t random[8];
    if (!RtlGenRandom(random, sizeof(random))) break;
    const std::string directory = parent + BatchDirectoryName(random);
    if (CreateDirectoryA(directory.c_str(), attributes)) return directory + "\\";
  }
  return std::string();
}

bool WriteSelfDeleteBatch(const std::string& bat, const std::string& text) {
  std::string bytes;
  FileHandle file;
  if (InBatchCodePage(text, bytes)) {
    file.Reset(CreateFileA(bat.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  DWORD written = 0;
  const bool complete = file.Valid() &&
                        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file.Get());
  // A batch cut short, or one cmd.exe would misread, is never left to be started.
  if (file.Valid() && !complete) {
    file.Reset();
    DeleteFileA(bat.c_str());
  }
  return complete;
}

std::string StartSelfDeleteBatch(const std::string& own_directory) {
  const std::string temp = TempDirectory();
  const std::string home = MakeBatchDirectory(temp);
  if (home.empty()) return std::string();
  // This process does not hold the own directory as its current one.
  SetCurrentDirectoryA(temp.c_str());
  const std::string exe = ModulePath();
  std::string target = RetiredExecutableName(GetCurrentProcessId());
  std::string directory;
  if (MoveFileA(exe.c_str(), (home + target).c_str())) {
    // Nothing of the program is left in its directory: the directory goes
    // now if it is empty, and the batch never names it.
    if (!own_directory.empty()) RemoveDirectoryA(own_directory.c_str());
  } else {
    // It lies on another volume, or a process holds it without letting it
    // be renamed: it takes its new name where it is, if it can, and the
    // batch names the directory.
    target = DirectoryOf(exe) + target;
    if (!MoveFileA(exe.c_str(), target.c_str())) target = exe;
    directory = own_directory;
  }
  const std::string bat = home + kSelfDeleteBatchName;
  const bool started = WriteSelfDeleteBatch(bat, SelfDeleteBatchText(target, directory)) && StartHidden(bat);
  return started ? bat : std::string();
}
