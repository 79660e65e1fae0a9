// The real platform calls behind the administrator test and the logon.
#include "privileges/administrator_win32.h"

SC_HANDLE OpenServiceManager(DWORD access) { return OpenSCManagerA(nullptr, nullptr, access); }

void ServiceManagerTraits::Close(SC_HANDLE manager) { CloseServiceHandle(manager); }

BOOL LogOnUser(const char* user, const char* password, HANDLE* token) {
  return LogonUserA(user, ".", password, LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, token);
}
