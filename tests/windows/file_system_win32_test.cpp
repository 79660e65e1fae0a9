#include <gtest/gtest.h>
#include <windows.h>

#include "linux_side_win32.h"
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

TEST(IsDirectoryEmpty, OnlyForAListableDirectoryWithoutEntries) {
  TempTree tree;
  const std::string empty = tree.MakeDir("empty");
  const std::string with_file = tree.MakeDir("with_file");
  tree.Write("with_file\\x", "x");
  const std::string with_dir = tree.MakeDir("with_dir");
  tree.MakeDir("with_dir\\sub");
  EXPECT_TRUE(IsDirectoryEmpty(empty));
  EXPECT_TRUE(IsDirectoryEmpty(empty + "\\"));
  EXPECT_FALSE(IsDirectoryEmpty(with_file));
  EXPECT_FALSE(IsDirectoryEmpty(with_dir));
  EXPECT_FALSE(IsDirectoryEmpty(tree.Path() + "missing"));
  EXPECT_FALSE(IsDirectoryEmpty(with_file + "\\x"));
  EXPECT_FALSE(IsDirectoryEmpty(""));
}

TEST(PurgeDirectory, FlatPurgeDeletesFilesAndKeepsSubdirectories) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  tree.Write("app\\a.exe", "x");
  tree.Write("app\\noextension", "x");
  tree.MakeDir("app\\sub");
  tree.Write("app\\sub\\keep.txt", "x");
  EXPECT_FALSE(PurgeDirectory(dir, "", false, false));
  EXPECT_FALSE(PathExists(dir + "\\a.exe"));
  EXPECT_FALSE(PathExists(dir + "\\noextension")) << "*.* matches names without a dot";
  EXPECT_TRUE(PathExists(dir + "\\sub\\keep.txt"));
}

TEST(PurgeDirectory, RecursiveWithClearedAttributesTakesTheWholeTree) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  tree.MakeDir("app\\sub");
  tree.MakeDir("app\\sub\\deeper");
  const std::string locked = tree.Write("app\\sub\\deeper\\ro.dll", "x");
  const std::string hidden = tree.Write("app\\hidden.ini", "x");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA((dir + "\\sub").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(PurgeDirectory(dir + "\\", "*.*", true, true));
  EXPECT_FALSE(PathExists(dir));
}

TEST(PurgeDirectory, KeepsTheFilesItIsToldToInAnySpelling) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  tree.MakeDir("app\\bin");
  const std::string program = tree.Write("app\\bin\\editor.exe", "MZ");
  const std::string settings = tree.Write("app\\uninstall.dat", "x");
  tree.Write("app\\bin\\core.dll", "x");
  tree.Write("app\\notes.txt", "x");
  const std::string kept_program = dir + "\\BIN\\Editor.EXE";
  const std::string kept_settings = dir + "\\.\\x\\..\\uninstall.dat";
  EXPECT_FALSE(PurgeDirectory(dir, "*.*", true, true, {&kept_program, &kept_settings}));
  EXPECT_TRUE(PathExists(program));
  EXPECT_TRUE(PathExists(settings));
  EXPECT_FALSE(PathExists(dir + "\\bin\\core.dll"));
  EXPECT_FALSE(PathExists(dir + "\\notes.txt"));
}

TEST(PurgeDirectory, AFileThatStaysKeepsItsAttributes) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  const std::string locked = tree.Write("app\\locked.dat", "x");
  // Wine keeps no hidden attribute on these files; read-only it keeps.
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(PurgeDirectory(dir, "*.*", true, true));
    CloseHandle(held);
  }
  EXPECT_NE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(PurgeDirectory, WithoutClearingAttributesReadOnlyFilesStay) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  const std::string locked = tree.Write("app\\ro.dll", "x");
  tree.Write("app\\plain.dll", "x");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(PurgeDirectory(dir, "*.*", true, false));
  EXPECT_TRUE(PathExists(locked));
  EXPECT_FALSE(PathExists(dir + "\\plain.dll"));
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(PurgeDirectory, OnlyEntriesMatchingThePatternGo) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  tree.Write("app\\a.tmp", "x");
  tree.Write("app\\b.txt", "x");
  EXPECT_FALSE(PurgeDirectory(dir, "*.tmp", true, true));
  EXPECT_FALSE(PathExists(dir + "\\a.tmp"));
  EXPECT_TRUE(PathExists(dir + "\\b.txt"));
  const std::string empty = tree.MakeDir("empty");
  EXPECT_FALSE(PurgeDirectory(empty, "*.xyz", false, false)) << "a pattern matching nothing removes nothing";
  EXPECT_TRUE(PathExists(empty));
  EXPECT_TRUE(PurgeDirectory(empty, "*.*", false, false));
  EXPECT_FALSE(PathExists(empty));
}

TEST(PurgeDirectory, MissingOrEmptyPathsChangeNothing) {
  TempTree tree;
  EXPECT_FALSE(PurgeDirectory(tree.Path() + "missing", "*.*", true, true));
  EXPECT_FALSE(PurgeDirectory("", "*.*", true, true));
  EXPECT_TRUE(PathExists(tree.Path()));
}

TEST(PurgeDirectory, NeverEntersOrEmptiesALinkMetInside) {
  TempTree tree;
  const std::string outside = tree.MakeDir("outside");
  const std::string precious = tree.Write("outside\\precious.txt", "keep me");
  const std::string empty_outside = tree.MakeDir("empty-outside");
  const std::string dir = tree.MakeDir("app");
  tree.Write("app\\a.exe", "x");
  tree.MakeDir("app\\sub");
  ASSERT_TRUE(MakeDirectoryLink(outside, dir + "\\link"));
  ASSERT_TRUE(MakeDirectoryLink(outside, dir + "\\sub\\link"));
  ASSERT_TRUE(MakeDirectoryLink(empty_outside, dir + "\\elink"));

  PurgeDirectory(dir, "*.*", true, true);
  EXPECT_FALSE(PathExists(dir + "\\a.exe"));
  EXPECT_EQ(ReadWholeFile(precious), "keep me");
  EXPECT_TRUE(PathExists(empty_outside)) << "a link to an empty directory stays, and so does its target";
  for (const char* link : {"\\link", "\\sub\\link", "\\elink"}) RemoveLinuxLink(dir + link);
}

TEST(DirectoryLinks, AreTheEntriesThemselvesAndGoWithoutTheirTargets) {
  TempTree tree;
  const std::string outside = tree.MakeDir("outside");
  const std::string precious = tree.Write("outside\\precious.txt", "keep me");
  const std::string empty_outside = tree.MakeDir("empty-outside");
  const std::string file = tree.Write("file.txt", "x");
  ASSERT_TRUE(MakeDirectoryLink(outside, tree.Path() + "link"));
  ASSERT_TRUE(MakeDirectoryLink(empty_outside, tree.Path() + "elink"));
  EXPECT_TRUE(IsDirectoryLink(tree.Path() + "link"));
  for (const std::string& path :
       {tree.Path() + "link\\", tree.Path() + "li*", outside, file, tree.Path() + "missing"}) {
    EXPECT_FALSE(IsDirectoryLink(path)) << path;
  }
  EXPECT_FALSE(RemoveDirectoryLink(outside)) << "a directory is no link";
  EXPECT_FALSE(RemoveDirectoryLink(tree.Path() + "elink"));
  EXPECT_TRUE(PathExists(empty_outside));
  RemoveDirectoryLink(tree.Path() + "link");
  EXPECT_EQ(ReadWholeFile(precious), "keep me");
  RemoveLinuxLink(tree.Path() + "link");
  RemoveLinuxLink(tree.Path() + "elink");
}

TEST(PurgeDirectory, TakesNamesTheCodePageCannotHold) {
  TempTree tree;
  const std::string dir = tree.MakeDir("app");
  const std::wstring wide_dir(dir.begin(), dir.end());
  ASSERT_TRUE(CreateDirectoryW((wide_dir + L"\\\u65e5\u672c").c_str(), nullptr));
  for (const wchar_t* name : {L"\\\u041f\u0440\u0438\u0432\u0435\u0442.txt", L"\\\U0001F600.dat",
                              L"\\\u65e5\u672c\\\u0444\u0430\u0439\u043b.txt"}) {
    HANDLE file = CreateFileW((wide_dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  EXPECT_FALSE(IsDirectoryEmpty(dir));
  EXPECT_TRUE(PurgeDirectory(dir, "*.*", true, true));
  EXPECT_FALSE(PathExists(dir));
}

TEST(PurgeDirectory, APathBeyondTheLimitNeverActsOnItsCutForm) {
  TempTree tree;
  // A directory whose full path fills exactly the ANSI limit, holding a file
  // that a purge of any longer path cut to that limit would reach.
  std::string dir = tree.Path();
  while (MAX_PATH - 1 - dir.size() > 150)
    dir = tree.MakeDir(dir.substr(tree.Path().size()) + std::string(100, 'd')) + "\\";
  const std::string cut = dir + std::string(MAX_PATH - 1 - dir.size(), 'c');
  ASSERT_EQ(cut.size(), static_cast<size_t>(MAX_PATH - 1));
  ASSERT_TRUE(MakeLongDirectory(cut));
  ASSERT_TRUE(MakeLongFile(cut + "\\inside.txt"));
  const std::string longer = cut + "longer";
  ASSERT_TRUE(MakeLongDirectory(longer));

  EXPECT_FALSE(PurgeDirectory(longer, "*.*", true, true));
  EXPECT_FALSE(IsDirectoryEmpty(longer));
  EXPECT_TRUE(LongPathExists(cut + "\\inside.txt"));
  EXPECT_TRUE(LongPathExists(longer));
  for (const std::string& path : {cut + "\\inside.txt", cut, longer}) RemoveLongPath(path);
}
