// Drives the real uninstall.exe from outside, as a user would: stages an
// installation directory with its own copy of the executable, starts it, finds
// its windows, reads and clicks controls by identifier, and waits for the end.
// Every wait is bounded; a process still running at the end is killed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/owners_win32.h"
#include "temp_tree_win32.h"
#include "ui/confirmation_layout.h"

// Set by the test program's main from --uninstaller=PATH.
const std::string& UninstallerUnderTest();
std::string& UninstallerSetting();
// A build of it for the tests only, which sees a filtered administrator's
// token when QUILLMARN_FILTERED_TOKEN is set: --filtered-uninstaller=PATH.
const std::string& FilteredUninstaller();

// A directory holding a copy of uninstall.exe and whatever the test writes.
class StagedInstall {
 public:
  // The copy sits in a directory of this name inside a fresh temporary tree.
  explicit StagedInstall(const std::string& directory_name = std::string());
  const std::string& Dir() const { return dir_; }
  // The temporary tree that holds the directory: its parent when it has a name.
  const std::string& Parent() const { return tree_.Path(); }
  std::string Exe() const { return Dir() + "uninstall.exe"; }
  std::string Write(const std::string& relative, const std::string& bytes) const {
    return tree_.Write(prefix_ + relative, bytes);
  }
  std::string MakeDir(const std::string& relative) const { return tree_.MakeDir(prefix_ + relative); }

 private:
  TempTree tree_;
  std::string prefix_;  // the directory's path inside the tree, with a backslash, or empty
  std::string dir_;
};

class RunningUninstaller {
 public:
  // Starts exe with current_directory as its working directory (empty: the
  // exe's), and the arguments after its name on the command line.
  explicit RunningUninstaller(const std::string& exe, const std::string& current_directory = std::string(),
                              const std::string& arguments = std::string());
  ~RunningUninstaller();
  RunningUninstaller(const RunningUninstaller&) = delete;
  RunningUninstaller& operator=(const RunningUninstaller&) = delete;

  bool Started() const { return process_.Valid(); }
  DWORD Id() const { return id_; }
  // A visible top-level window of the process with this class (and title, if given).
  HWND WaitForWindow(const std::string& window_class, DWORD timeout_ms, const char* title = nullptr) const;
  // Any visible top-level window of the process, of whatever class.
  bool ShowsAWindow() const;
  // True if the process ended within the time; its exit code goes to *code.
  bool WaitForExit(DWORD timeout_ms, DWORD* code) const;
  void Kill() const;

 private:
  KernelHandle process_;
  DWORD id_ = 0;
};

// The processes of that executable name, the newest last, and their end.
std::vector<DWORD> ProcessesNamed(const char* name);
void EndProcessesNamed(const char* name);

std::string WindowText(HWND window);
std::string WindowClass(HWND window);
std::string ControlText(HWND dialog, int id);
// Presses a button as a click would, without waiting on the target's thread.
void ClickControl(HWND dialog, int id);
// The window that has the keyboard focus on the window's thread, if any.
HWND FocusOf(HWND window);
// A key pressed and let go as the keyboard delivers it: to the control that
// has the focus on the window's thread, or else to the window.
void PressKey(HWND window, WORD key);

// The confirmation window of a running uninstaller, and its parts.
HWND WaitForMainWindow(const RunningUninstaller& run, DWORD timeout_ms);
// A control by identifier; the heading, message and icon sit inside the title band.
HWND ControlOf(HWND main, int id);
HWND StatusBarOf(HWND main);
// A window's rectangle in the client coordinates of main.
RECT RectIn(HWND main, HWND control);
bool WaitForText(HWND window, const std::string& text, DWORD timeout_ms);
// The user's whole run: the option ticked if asked, OK, the end of the
// removal, Ready and the exit; false where a step did not come. The exit
// code goes to *code.
bool ClickThroughToTheEnd(const RunningUninstaller& run, bool delete_all, DWORD timeout_ms, DWORD* code);
// A run with the arguments that ends by itself (/S, /PLAN): its exit code,
// 99 (and a failure) where it did not end in time.
DWORD ExitCodeOf(const std::string& exe, const std::string& arguments, DWORD timeout_ms);

// The directories of the batches that uninstallers leave running after Ready:
// in the user's temporary directory, and in an administrator's run (every
// run under Wine) in the system's.
std::vector<std::string> BatchDirectories();
// Waits until every such batch has run to its end and removed its directory.
bool WaitForBatchToFinish(DWORD timeout_ms);
bool WaitForPathToVanish(const std::string& path, DWORD timeout_ms);

// A plan's log read back: the paths of its lines that end as given ("file X:
// would be removed" gives X), and its registry values and keys likewise
// ("registry value HKCU\\X|V: would be removed" gives {HKCU, X, V, true}).
std::vector<std::string> PathsTold(const std::string& plan, const std::string& ending);
struct RegistryTold {
  HKEY root;
  std::string key;
  std::string value;
  bool is_value;
};
std::vector<RegistryTold> RegistryLinesTold(const std::string& plan, const std::string& ending);
bool RegistryHas(const RegistryTold& entry);

// Staging and checking the registry: whether a key exists, and a text value
// written with its key ("" the default value).
bool RegistryKeyExists(HKEY root, const std::string& key);
void SetRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text);
