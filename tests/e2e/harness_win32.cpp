#include "harness_win32.h"

#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

struct WindowSearch {
  DWORD process;
  std::string window_class;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window)) return TRUE;
  // No class asked for: any window counts.
  if (!search->window_class.empty() && WindowClass(window) != search->window_class) return TRUE;
  if (search->title != nullptr && WindowText(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::string& UninstallerSetting() {
  static std::string path;
  return path;
}

const std::string& UninstallerUnderTest() { return UninstallerSetting(); }

StagedInstall::StagedInstall(const std::string& directory_name)
    : prefix_(directory_name.empty() ? std::string() : directory_name + "\\"), dir_(tree_.Path() + prefix_) {
  if (!prefix_.empty()) tree_.MakeDir(directory_name);
  const std::string exe = Dir() + "uninstall.exe";
  EXPECT_TRUE(CopyFileA(UninstallerUnderTest().c_str(), exe.c_str(), FALSE))
      << "cannot copy " << UninstallerUnderTest();
}

RunningUninstaller::RunningUninstaller(const std::string& exe, const std::string& current_directory,
                                       const std::string& arguments) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  const char* directory = current_directory.empty() ? nullptr : current_directory.c_str();
  if (CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &info)) {
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
    WaitForInputIdle(info.hProcess, 10000);
  }
}

RunningUninstaller::~RunningUninstaller() { Kill(); }

void RunningUninstaller::Kill() const {
  if (!process_.Valid() || WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0) return;
  TerminateProcess(process_.Get(), 1);
  WaitForSingleObject(process_.Get(), 5000);
}

HWND RunningUninstaller::WaitForWindow(const std::string& window_class, DWORD timeout_ms, const char* title) const {
  const DWORD start = GetTickCount();
  do {
    WindowSearch search{id_, window_class, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (WaitForSingleObject(process_.Get(), 20) == WAIT_OBJECT_0) return nullptr;
  } while (GetTickCount() - start < timeout_ms);
  return nullptr;
}

bool RunningUninstaller::ShowsAWindow() const {
  WindowSearch search{id_, std::string(), nullptr, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}

bool RunningUninstaller::WaitForExit(DWORD timeout_ms, DWORD* code) const {
  if (!process_.Valid() || WaitForSingleObject(process_.Get(), timeout_ms) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_.Get(), code) != FALSE;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      &length);
  return std::string(text);
}

std::string WindowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control == nullptr ? std::string("<no control>") : WindowText(control);
}

HWND WaitForMainWindow(const RunningUninstaller& run, DWORD timeout_ms) {
  return run.WaitForWindow("QuillmarnUninstall", timeout_ms);
}

HWND ControlOf(HWND main, int id) {
  constexpr int kTitleBand = 1;
  const bool in_band = id == kHeadingId || id == kMessageId || id == kProgramIconId;
  return GetDlgItem(in_band ? GetDlgItem(main, kTitleBand) : main, id);
}

HWND StatusBarOf(HWND main) { return FindWindowExA(main, nullptr, "msctls_statusbar32", nullptr); }

RECT RectIn(HWND main, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool WaitForText(HWND window, const std::string& text, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  do {
    if (WindowText(window) == text) return true;
    Sleep(20);
  } while (GetTickCount() - start < timeout_ms);
  return false;
}

bool WaitForPathToVanish(const std::string& path, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (PathExists(path)) {
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(50);
  }
  return true;
}

bool ClickThroughToTheEnd(const RunningUninstaller& run, bool delete_all, DWORD timeout_ms, DWORD* code) {
  // The confirmation window's controls, as the program numbers them.
  HWND main = WaitForMainWindow(run, timeout_ms);
  if (main == nullptr) return false;
  if (delete_all) ClickControl(main, kDeleteAllId);
  ClickControl(main, kOkButtonId);
  if (!WaitForText(StatusBarOf(main), "  Uninstalling completed.", timeout_ms)) return false;
  ClickControl(main, kReadyButtonId);
  return run.WaitForExit(timeout_ms, code);
}

DWORD ExitCodeOf(const std::string& exe, const std::string& arguments, DWORD timeout_ms) {
  RunningUninstaller run(exe, std::string(), arguments);
  DWORD code = 99;
  EXPECT_TRUE(run.WaitForExit(timeout_ms, &code)) << arguments;
  return code;
}

std::vector<std::string> BatchDirectories() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  char windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryA(windows, MAX_PATH);
  return {std::string(temp) + "~qmu-*", std::string(windows) + "\\Temp\\~qmu-*"};
}

bool WaitForBatchToFinish(DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    bool running = false;
    for (const std::string& pattern : BatchDirectories()) {
      WIN32_FIND_DATAA found;
      running = running || FindHandle(FindFirstFileA(pattern.c_str(), &found)).Valid();
    }
    if (!running) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(50);
  }
}

void ClickControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (control != nullptr) PostMessageA(control, BM_CLICK, 0, 0);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void PressKey(HWND window, WORD key) {
  HWND focus = FocusOf(window);
  HWND target = focus != nullptr ? focus : window;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 1 | (3u << 30));
}

// The processes of that executable name, the newest last.
std::vector<DWORD> ProcessesNamed(const char* name) {
  std::vector<DWORD> found;
  FileHandle all(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(all.Get(), &entry); more; more = Process32Next(all.Get(), &entry)) {
    if (lstrcmpiA(entry.szExeFile, name) == 0) found.push_back(entry.th32ProcessID);
  }
  return found;
}

void EndProcessesNamed(const char* name) {
  for (const DWORD id : ProcessesNamed(name)) {
    KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (process.Valid() && TerminateProcess(process.Get(), 1)) WaitForSingleObject(process.Get(), 5000);
  }
}

std::vector<std::string> PathsTold(const std::string& plan, const std::string& ending) {
  std::vector<std::string> paths;
  for (size_t at = 0, end; (end = plan.find("\r\n", at)) != std::string::npos; at = end + 2) {
    if (end - at < 20) continue;                                   // a line of a list, without a time
    const std::string line = plan.substr(at + 20, end - at - 20);  // after the time
    const size_t told = line.find(": " + ending);
    const size_t space = line.find(' ');
    if (told == std::string::npos || (line.compare(0, 5, "file ") != 0 && line.compare(0, 10, "directory ") != 0)) {
      continue;
    }
    paths.push_back(line.substr(space + 1, told - space - 1));
  }
  return paths;
}

std::vector<RegistryTold> RegistryLinesTold(const std::string& plan, const std::string& ending) {
  std::vector<RegistryTold> told;
  for (size_t at = 0, end; (end = plan.find("\r\n", at)) != std::string::npos; at = end + 2) {
    if (end - at < 20) continue;                                   // a line of a list, without a time
    const std::string line = plan.substr(at + 20, end - at - 20);  // after the time
    const bool is_value = line.compare(0, 15, "registry value ") == 0;
    if (!is_value && line.compare(0, 13, "registry key ") != 0) continue;
    const size_t name = is_value ? 15 : 13, colon = line.find(": " + ending);
    if (colon == std::string::npos) continue;
    const std::string path = line.substr(name, colon - name);
    const std::string root = path.substr(0, path.find('\\'));
    const HKEY handle = root == "HKCR" ? HKEY_CLASSES_ROOT : root == "HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const std::string rest = path.substr(root.size() + 1);
    const size_t bar = is_value ? rest.rfind('|') : std::string::npos;
    told.push_back({handle, rest.substr(0, bar), is_value ? rest.substr(bar + 1) : std::string(), is_value});
  }
  return told;
}

bool RegistryKeyExists(HKEY root, const std::string& key) { return RegistryHas({root, key, std::string(), false}); }

void SetRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
  RegistryKey opened;
  RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr);
  RegSetValueExA(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
}

bool RegistryHas(const RegistryTold& entry) {
  RegistryKey key;
  if (RegOpenKeyExA(entry.root, entry.key.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  return !entry.is_value ||
         RegQueryValueExA(key.Get(), entry.value.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
