#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/dll_search_win32.h"
#include "probes_win32.h"
#include "temp_tree_win32.h"

namespace {

// What the restriction asked the system for, through the lookup's seam.
std::vector<std::string> asked;
std::vector<std::string> called;

BOOL WINAPI RecordDirectories(DWORD flags) {
  called.push_back("directories " + std::to_string(flags));
  return TRUE;
}
BOOL WINAPI RecordPolicy(int policy, const void* value, SIZE_T size) {
  called.push_back("policy " + std::to_string(policy) + " " + std::to_string(*static_cast<const DWORD*>(value)) + " " +
                   std::to_string(size));
  return FALSE;  // as a system that knows the call but not the policy answers
}
void* Recording(const char* name) {
  asked.push_back(name);
  if (std::string(name) == "SetDefaultDllDirectories") return reinterpret_cast<void*>(RecordDirectories);
  if (std::string(name) == "SetProcessMitigationPolicy") return reinterpret_cast<void*>(RecordPolicy);
  return nullptr;
}
void* Absent(const char* name) {
  asked.push_back(name);
  return nullptr;
}

}  // namespace

TEST(RestrictDllSearch, AsksForSystemLibrariesOnlyAndTrustedRedirectionsWhereTheSystemHasThem) {
  RestrictDllSearch(Recording);
  EXPECT_EQ(called,
            (std::vector<std::string>{"directories " + std::to_string(LOAD_LIBRARY_SEARCH_SYSTEM32), "policy 16 1 4"}));
  asked.clear();
  called.clear();
  RestrictDllSearch(Absent);
  EXPECT_EQ(asked, (std::vector<std::string>{"SetDefaultDllDirectories", "SetProcessMitigationPolicy"}));
  EXPECT_TRUE(called.empty()) << "a system without them is passed over";
}

TEST(RestrictDllSearch, APlantedLibraryBesideTheProgramIsNoLongerLoaded) {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string planted = module;
  planted = planted.substr(0, planted.rfind('\\') + 1) + "qmplanted.dll";
  ASSERT_TRUE(CopyFileA(ProbeLibrary().c_str(), planted.c_str(), FALSE)) << ProbeLibrary();

  HMODULE before = LoadLibraryA("qmplanted.dll");
  EXPECT_NE(before, nullptr) << "without the restriction the program's directory is searched";
  if (before != nullptr) FreeLibrary(before);

  RestrictDllSearch();
  HMODULE after = LoadLibraryA("qmplanted.dll");
  EXPECT_EQ(after, nullptr);
  if (after != nullptr) FreeLibrary(after);
  EXPECT_NE(LoadLibraryA("version.dll"), nullptr) << "system libraries still load";
  DeleteFileA(planted.c_str());
}
