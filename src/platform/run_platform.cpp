#include "platform/run_platform.h"

#include <tuple>

bool IsPredefinedRoot(RegistryRoot root) {
  // 0x80000004 is the performance-data root and 0x80000006 the dynamic-data
  // one: neither holds keys a program installs.
  return root <= 0x80000005u && root >= kClassesRoot && root != 0x80000004u;
}

std::string StatusText(const std::string& item) { return "  " + item; }

bool FileIdentity::operator<(const FileIdentity& other) const {
  return std::tie(volume, id_high, id_low, path) < std::tie(other.volume, other.id_high, other.id_low, other.path);
}

bool FileIdentity::operator==(const FileIdentity& other) const { return !(*this < other) && !(other < *this); }


namespace {

std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool SameEntry(RunSystem& system, const std::string& a, bool found, const FileIdentity& identity,
               const std::string& b) {
  FileIdentity other;
  if (found && identity.path.empty() && system.IdentityOf(b, other) && other.path.empty()) return identity == other;
  return system.SameName(Trimmed(a), Trimmed(b));
}

bool SameEntry(RunSystem& system, const std::string& a, const std::string& b) {
  FileIdentity identity;
  const bool found = system.IdentityOf(a, identity);
  return SameEntry(system, a, found, identity, b);
}
