#include <windows.h>
// After windows.h, which they need.
#include <ntsecapi.h>
#include <sddl.h>

#include "platform/owners_win32.h"
#include "platform/paths_win32.h"
#include "platform/rights_win32.h"
#include "removal/file_system_win32.h"
#include "removal/self_delete_batch.h"
#include "text/text.h"

namespace {

// The process's own pseudo handle, as GetCurrentProcess gives it.
HANDLE const kThisProcess = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));

// The process runs with an administrator's full rights.
bool IsElevated() {
  KernelHandle token;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return OpenProcessToken(kThisProcess, TOKEN_QUERY, token.Receive()) &&
         GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
         elevation.TokenIsElevated != 0;
}

// A file that another program holds without letting it be renamed stays at
// the program's path: it gets a last-write time that no reinstalled file
// has (a minute of 1990 drawn at random), which the batch checks for. Its
// size; 0 when it cannot be read.
uint32_t MarkHeldFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  uint32_t minute = 0;
  if (!file.Valid() || !GetFileSizeEx(file.Get(), &size)) return 0;
  if (RtlGenRandom(&minute, sizeof(minute))) {
    constexpr ULONGLONG k1990 = 0x01B41E2A18D64000ull;  // 1990-01-01 in 100 ns since 1601
    constexpr ULONGLONG kMinute = 600000000ull;
    const ULONGLONG time = k1990 + (minute % (365u * 24 * 60)) * kMinute;
    const FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SetFileTime(file.Get(), nullptr, nullptr, &stamp);
  }
  return static_cast<uint32_t>(size.QuadPart);
}

}  // namespace

std::string MakeBatchDirectory(const std::string& parent, bool elevated) {
  RestrictedRights rights(BatchDirectoryRights);
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
  FileHandle file;
  if (!text.empty() && !bat.empty()) {
    file.Reset(CreateFileA(bat.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  DWORD written = 0;
  const bool complete = file.Valid() &&
                        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                        written == text.size() && FlushFileBuffers(file.Get());
  // A batch cut short is never left to be started.
  if (file.Valid() && !complete) {
    file.Reset();
    DeleteFileA(bat.c_str());
  }
  return complete;
}

// Through the system's own command processor by its full path, hidden. It
// works in the home's parent, so that it never holds the home itself, and
// runs no program by a name that the parent could supply.
bool StartBatch(const std::string& home, const std::string& environment) {
  const std::string parent = DirectoryOf(WithoutTrailingBackslashes(home));
  const std::string processor = SystemDirectory() + "\\cmd.exe";
  std::string command = BatchCommandLine(home);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  std::string block = environment;
  // Outside the job the program runs in, where the job allows it: a
  // deployment tool that closes its job when the program ends would end the
  // batch with it.
  BOOL in_job = FALSE;
  const bool away = IsProcessInJob(kThisProcess, nullptr, &in_job) && in_job;
  for (const DWORD flags : {away ? CREATE_BREAKAWAY_FROM_JOB : 0ul, 0ul}) {
    std::string line = command;
    if (CreateProcessA(processor.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW | flags, &block[0],
                       parent.c_str(), &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      return true;
    }
    if (flags == 0) break;
  }
  return false;
}

// What the batch removes, also left to the next restart where the rights
// allow it, in case the batch is ended first: harmless once it has run.
// Only names nobody else will take: the retired program file and the
// batch's home, never the program's own path.
void LeaveToRestartToo(const std::string& retired, const std::string& bat, const std::string& home) {
  for (const std::string& path : {retired, bat, WithoutTrailingBackslashes(home)}) {
    if (!path.empty()) ScheduleRemovalAtRestart(path);
  }
}

std::string StartSelfDeleteBatch(const std::string& own_directory) {
  const bool elevated = IsElevated();
  const std::string parent = BatchParent(elevated, TempDirectory(), WindowsDirectory());
  const std::string home = MakeBatchDirectory(parent, elevated);
  if (home.empty()) return std::string();
  // This process holds neither the own directory nor the home as its current one.
  SetCurrentDirectoryA(parent.c_str());
  const std::string exe = ModulePath();
  const uint32_t id = GetCurrentProcessId();
  const std::string bat = home + kSelfDeleteBatchName;
  // Into the home, where the batch names nothing of the installation; else
  // beside itself on another volume; else it stays where a hold keeps it.
  // Each place's batch is written first; a program file that moved for a
  // batch that then could not start goes back to its place, so it is never
  // stranded where nothing will remove it. (A command processor started
  // suspended, to be sure of it before the move, left its folder behind
  // under Wine once this process had ended.)
  for (Retired where = Retired::kIntoHome;;
       where = where == Retired::kIntoHome ? Retired::kBesideItself : Retired::kNowhere) {
    SelfDeleteTarget target = SelfDeleteTargetFor(where, exe, home, own_directory, id);
    if (where == Retired::kNowhere) target.guard_size = MarkHeldFile(exe);
    const std::string retired = RetiredPath(where, exe, home, id);
    const bool ready = (where != Retired::kNowhere || target.guard_size != 0) &&
                       WriteSelfDeleteBatch(bat, SelfDeleteBatchText(target, SystemDirectory(), home));
    const bool moved = ready && where != Retired::kNowhere && MoveFileA(exe.c_str(), retired.c_str());
    if (ready && (moved || where == Retired::kNowhere)) {
      if (StartBatch(home, SelfDeleteEnvironment(target, WindowsDirectory()))) {
        if (elevated) LeaveToRestartToo(moved ? retired : std::string(), bat, home);
        // Nothing of the program is left in its directory: it goes now if it is empty.
        if (where == Retired::kIntoHome && !own_directory.empty()) RemoveDirectoryA(own_directory.c_str());
        return bat;
      }
      if (moved) MoveFileA(retired.c_str(), exe.c_str());
      where = Retired::kNowhere;  // the batch cannot start at all
    }
    DeleteFileA(bat.c_str());
    if (where == Retired::kNowhere) {
      RemoveDirectoryA(home.c_str());
      return std::string();
    }
  }
}
