#include <gtest/gtest.h>
#include <windows.h>

#include "platform/dll_search_win32.h"
#include "probes_win32.h"
#include "temp_tree_win32.h"

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
