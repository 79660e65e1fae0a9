#include "fake_privileges_win32.h"

#include "privileges/administrator_win32.h"

namespace {
// Something that is not null, as a service manager handle is.
SC_HANDLE const kManager = reinterpret_cast<SC_HANDLE>(static_cast<INT_PTR>(0x5C));
}  // namespace

FakePrivileges& Privileges() {
  static FakePrivileges fake;
  return fake;
}

SC_HANDLE OpenServiceManager(DWORD access) {
  Privileges().asked_access = access;
  return Privileges().administrator ? kManager : nullptr;
}

void ServiceManagerTraits::Close(SC_HANDLE manager) {
  if (manager == kManager) ++Privileges().managers_closed;
}

BOOL LogOnUser(const char* user, const char* password, HANDLE* token) {
  Privileges().attempts.push_back(std::string(user) + "|" + password);
  if (Privileges().user != user || Privileges().password != password) return FALSE;
  // A real handle, so that closing it can be seen.
  *token = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  Privileges().last_token = *token;
  return TRUE;
}

BOOL ImpersonateUser(HANDLE token) {
  // Acting as the account, the test answers for it.
  if (token == Privileges().last_token) Privileges().administrator = Privileges().account_is_administrator;
  return TRUE;
}

bool UacIsOn() { return Privileges().uac_on; }
