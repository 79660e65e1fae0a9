#include <gtest/gtest.h>
#include <windows.h>

#include "removal/file_system.h"
#include "temp_tree_win32.h"

TEST(FileExists, FilesOnlyNotDirectoriesOrDrives) {
  TempTree tree;
  const std::string file = tree.Write("app.exe", "MZ");
  const std::string dir = tree.MakeDir("data");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir));
  EXPECT_FALSE(FileExists(dir + "\\"));
  EXPECT_FALSE(FileExists(tree.Path()));
  EXPECT_FALSE(FileExists(tree.Path() + "missing.exe"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists("C:"));
  EXPECT_FALSE(FileExists("C:\\"));
  EXPECT_FALSE(FileExists("C:/"));
  EXPECT_FALSE(FileExists("\\"));
  EXPECT_FALSE(FileExists("\\\\"));
}

TEST(FileExists, TrailingBackslashesAndWildcardsFollowTheSearch) {
  TempTree tree;
  const std::string file = tree.Write("readme.txt", "x");
  tree.MakeDir("only_dirs");
  tree.MakeDir("only_dirs\\sub");
  EXPECT_TRUE(FileExists(file + "\\"));
  EXPECT_TRUE(FileExists(file + "\\\\\\"));
  EXPECT_TRUE(FileExists(tree.Path() + "*.txt"));
  EXPECT_TRUE(FileExists(tree.Path() + "read??.txt"));
  EXPECT_FALSE(FileExists(tree.Path() + "*.exe"));
  EXPECT_FALSE(FileExists(tree.Path() + "only_dirs\\*"));
}

TEST(FileExists, ReadOnlyAndHiddenFilesAreFiles) {
  TempTree tree;
  const std::string file = tree.Write("locked.dll", "x");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(FileExists(file));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileExists, APathBeyondTheLimitIsNeverTakenForItsCutForm) {
  TempTree tree;
  // A file whose full path has exactly the most characters a path may have.
  const size_t longest = MAX_PATH - 1;
  std::string dir = tree.Path();
  while (longest - dir.size() > 200) dir = tree.MakeDir(dir.substr(tree.Path().size()) + std::string(100, 'd')) + "\\";
  const std::string name(longest - dir.size(), 'f');
  const std::string file = dir + name;
  ASSERT_EQ(file.size(), longest);
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(file + "zz"));
  EXPECT_FALSE(FileExists(file + "\\more\\than\\the\\limit"));
}
