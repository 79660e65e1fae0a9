// Times one contender under Wine and prints the milliseconds, one figure per line:
//   bench_driver window EXE            start to visible window; close to exit, closed
//                                      once ready for input; start to ready for input
//   bench_driver removal EXE all|listed   OK (once ready for input) to the completion
//                                      text; then Ready to exit
//   bench_driver walk DIR... [--wide]  a raw FindFirstFileA/DeleteFileA walk of each
//                                      DIR (or with the wide functions)
//   bench_driver walk DIR... --count   the wide walk that only counts the entries:
//                                      what a progress total known beforehand costs
//   bench_driver command LINE          a whole command, start to exit
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "milliseconds_win32.h"

namespace {

struct Found {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindTopWindow(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<Found*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != found->process || !IsWindowVisible(window)) return TRUE;
  found->window = window;
  return FALSE;
}

HWND WaitForWindow(DWORD process) {
  for (;;) {
    Found found{process, nullptr};
    EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window != nullptr) return found.window;
    Sleep(1);
  }
}

PROCESS_INFORMATION Start(const std::string& command_line) {
  std::string command = command_line;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
  return info;
}

std::string StatusText(HWND main) {
  HWND bar = FindWindowExA(main, nullptr, "msctls_statusbar32", nullptr);
  char text[1024] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(bar, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return text;
}

// Deletes what it walks, or only counts it.
void WalkWide(const std::wstring& directory, bool remove, size_t& entries) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((directory + L"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = directory + L"\\" + name;
    ++entries;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      WalkWide(path, remove, entries);
    } else if (remove) {
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  if (remove) RemoveDirectoryW(directory.c_str());
}

void Walk(const std::string& directory) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((directory + "\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = directory + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Walk(path);
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  RemoveDirectoryA(directory.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  if (mode == "walk") {
    const std::string option = argv[argc - 1];
    const bool count = option == "--count";
    const bool wide = option == "--wide" || count;
    const int last = argc - (wide ? 1 : 0);
    const double start = Now();
    size_t entries = 0;
    for (int i = 2; i < last; ++i) {
      if (wide) {
        const std::string dir = argv[i];
        WalkWide(std::wstring(dir.begin(), dir.end()), !count, entries);
      } else {
        Walk(argv[i]);
      }
    }
    printf("%.1f\n", Now() - start);
    return 0;
  }
  if (mode == "command") {
    const double start = Now();
    PROCESS_INFORMATION info = Start(argv[2]);
    WaitForSingleObject(info.hProcess, INFINITE);
    printf("%.1f\n", Now() - start);
    return 0;
  }
  const std::string exe = argv[2];
  const double start = Now();
  PROCESS_INFORMATION info = Start("\"" + exe + "\"");
  HWND main = WaitForWindow(info.dwProcessId);
  const double shown = Now();
  if (mode == "window") {
    printf("%.1f\n", shown - start);
    // Which of the libraries a window needs no part of the start has loaded.
    std::string loaded;
    const HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, info.dwProcessId);
    MODULEENTRY32 module{};
    module.dwSize = sizeof(module);
    for (BOOL more = Module32First(modules, &module); more; more = Module32Next(modules, &module)) {
      for (const char* late : {"shell32.dll", "ole32.dll", "oleaut32.dll"}) {
        if (lstrcmpiA(module.szModule, late) == 0) loaded += std::string(late) + " ";
      }
    }
    CloseHandle(modules);
    // Closed once it waits for input: both programs still settle after the
    // window shows, and that belongs to the start, not to the exit.
    WaitForInputIdle(info.hProcess, 5000);
    const double closing = Now();
    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND cancel = GetDlgItem(main, 6);
    if (cancel != nullptr) PostMessageA(cancel, BM_CLICK, 0, 0);
    WaitForSingleObject(info.hProcess, INFINITE);
    printf("%.1f\n", Now() - closing);
    printf("%.1f\n", closing - start);
    printf("%s\n", loaded.empty() ? "none" : loaded.c_str());
    return 0;
  }
  WaitForInputIdle(info.hProcess, 5000);
  if (std::string(argv[3]) == "all") SendMessageA(GetDlgItem(main, 10), BM_SETCHECK, BST_CHECKED, 0);
  const double ok = Now();
  PostMessageA(GetDlgItem(main, 5), BM_CLICK, 0, 0);
  while (StatusText(main) != "  Uninstalling completed.") Sleep(1);
  printf("%.1f\n", Now() - ok);
  const double ready = Now();
  PostMessageA(GetDlgItem(main, 7), BM_CLICK, 0, 0);
  WaitForSingleObject(info.hProcess, INFINITE);
  printf("%.1f\n", Now() - ready);
  return 0;
}
