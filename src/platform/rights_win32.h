// Rights for what an administrator's run creates: a descriptor made from the
// rights the core writes for the account that runs the program.
#pragma once

#include <windows.h>

#include <string>

class RestrictedRights {
 public:
  // rights: the descriptor's text for the account's SID, in the system's
  // security descriptor language.
  explicit RestrictedRights(std::string (*rights)(const std::string& user_sid)) : rights_(rights) {}
  ~RestrictedRights() { LocalFree(descriptor_); }
  RestrictedRights(const RestrictedRights&) = delete;
  RestrictedRights& operator=(const RestrictedRights&) = delete;

  // Null when they cannot be formed.
  SECURITY_ATTRIBUTES* Get();

 private:
  std::string (*rights_)(const std::string& user_sid);
  SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};
