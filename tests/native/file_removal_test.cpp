#include <gtest/gtest.h>

#include "fake_files.h"
#include "fake_platform.h"
#include "removal/file_removal.h"

TEST(LeavesTheDirectory, FindsParentStepsInAnySpelling) {
  for (const char* path : {"..", "..\\x", "a\\..\\..\\b", "a/../b", "...", ". .", "a\\.. \\b", "..\\"}) {
    EXPECT_TRUE(LeavesTheDirectory(path)) << path;
  }
  for (const char* path : {"", "data", "data\\sub\\", "a..b", "..a", ".hidden\\x", ".\\data", "a\\.\\b", "x.."}) {
    EXPECT_FALSE(LeavesTheDirectory(path)) << path;
  }
}

TEST(RemoveAllFiles, PassesOverTreesOutsideTheOwnDirectory) {
  ClearStagedFiles();
  UninstallSettings settings;
  settings.own_directory = "C:\\Apps\\Editor\\";
  settings.settings_path = settings.own_directory + "uninstall.dat";
  settings.prog_exe = "editor.exe";
  StageFile(settings.settings_path, "[Dirs]\nd1=..\\Shared\nd2=data\nd3=data\\..\\..\\Other\nd4=\n");
  FakePlatform platform;
  platform.files = {settings.own_directory + "editor.exe"};
  EXPECT_TRUE(RemoveAllFiles(settings, platform));
  const std::vector<std::string> expected = {
      "status:  C:\\Apps\\Editor\\data*.*", "purge:C:\\Apps\\Editor\\data|*.*|recursive|clear",
      "status:  C:\\Apps\\Editor\\*.*",     "purge:C:\\Apps\\Editor\\|*.*|recursive|clear",
      "status:  C:\\Apps\\Editor\\*.*",     "purge:C:\\Apps\\Editor\\|*.*|clear",
  };
  EXPECT_EQ(platform.log, expected);
  EXPECT_EQ(HeldFileCount(), 0);
}
