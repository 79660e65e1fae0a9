// The real platform calls behind the administrator test and the logon.
#include "privileges/administrator_win32.h"

namespace {

// Wine runs every process elevated, with no User Account Control: a build
// for the tests only sees the program as a filtered administrator's token
// sees it when its environment asks. It can only take rights away.
#ifdef UNINSTALL_FILTERED_TOKEN_SEAM
bool SeesAFilteredToken() { return GetEnvironmentVariableW(L"QUILLMARN_FILTERED_TOKEN", nullptr, 0) > 0; }
#else
constexpr bool SeesAFilteredToken() { return false; }
#endif

}  // namespace

SC_HANDLE OpenServiceManager(DWORD access) {
  return SeesAFilteredToken() ? nullptr : OpenSCManagerA(nullptr, nullptr, access);
}

BOOL ImpersonateUser(HANDLE token) { return ImpersonateLoggedOnUser(token); }

bool UacIsOn() {
  DWORD on = 1, size = sizeof(on);
  RegistryKey policy;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0,
                    KEY_QUERY_VALUE, policy.Receive()) == ERROR_SUCCESS) {
    RegQueryValueExW(policy.Get(), L"EnableLUA", nullptr, nullptr, reinterpret_cast<BYTE*>(&on), &size);
  }
  return on != 0 || SeesAFilteredToken();
}

void ServiceManagerTraits::Close(SC_HANDLE manager) { CloseServiceHandle(manager); }

BOOL LogOnUser(const char* user, const char* password, HANDLE* token) {
  return LogonUserA(user, ".", password, LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, token);
}
