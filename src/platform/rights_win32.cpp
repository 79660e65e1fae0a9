#include "platform/rights_win32.h"

#include <sddl.h>

#include "platform/owners_win32.h"

SECURITY_ATTRIBUTES* RestrictedRights::Get() {
  KernelHandle token;
  char user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
  DWORD size = 0;
  char* sid = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
      !GetTokenInformation(token.Get(), TokenUser, user, sizeof(user), &size) ||
      !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid)) {
    return nullptr;
  }
  const bool made = ConvertStringSecurityDescriptorToSecurityDescriptorA(rights_(sid).c_str(), SDDL_REVISION_1,
                                                                         &descriptor_, nullptr);
  LocalFree(sid);
  attributes_.lpSecurityDescriptor = descriptor_;
  return made ? &attributes_ : nullptr;
}
