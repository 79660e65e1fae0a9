// Stand-ins for the administrator test and the logon, which always succeed
// under Wine: the tests decide the answers and see what was asked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct FakePrivileges {
  bool administrator = false;
  bool account_is_administrator = true;  // the account that logs on
  bool uac_on = false;
  std::string user = "admin";
  std::string password = "secret";
  DWORD asked_access = 0;
  int managers_closed = 0;
  std::vector<std::string> attempts;  // "user|password" of each logon
  HANDLE last_token = nullptr;
};

FakePrivileges& Privileges();
