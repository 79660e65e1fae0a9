#include <gtest/gtest.h>
#include <windows.h>

#include "platform/owners_win32.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/settings_file_win32.h"
#include "temp_tree_win32.h"

namespace {
DiskFiles disk;
}  // namespace

TEST(SettingsFileOpen, HoldsTheFileAgainstDeletionAndWritingUntilClose) {
  TempTree tree;
  const std::string path = tree.Write("uninstall.dat", "[Settings]\r\nProgExe=app.exe\r\n");
  SettingsFile file;
  ASSERT_TRUE(file.Open(disk, path));
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  FileHandle writer(
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(writer.Valid());
  FileHandle reader(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader.Valid()) << "others may still read it";
  reader.Reset();

  EXPECT_TRUE(file.SelectGroup("Settings"));
  EXPECT_EQ(file.ReadString("ProgExe", "-1"), "app.exe");
  file.Close();
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(SettingsFileOpen, ReadOnlyFilesAreReadAndStillHeld) {
  TempTree tree;
  const std::string path = tree.Write("uninstall.dat", "[Settings]\nProgExe=ro.exe\n");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  SettingsFile file;
  ASSERT_TRUE(file.Open(disk, path));
  file.SelectGroup("Settings");
  EXPECT_EQ(file.ReadString("ProgExe"), "ro.exe");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  file.Close();
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(SettingsFileOpen, AFileLockedByAnotherOpenerGivesDefaults) {
  TempTree tree;
  const std::string path = tree.Write("uninstall.dat", "[Settings]\nProgExe=app.exe\n");
  FileHandle locker(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locker.Valid());
  SettingsFile file;
  EXPECT_FALSE(file.Open(disk, path));
  EXPECT_EQ(file.Path(), path);
  EXPECT_FALSE(file.SelectGroup("Settings"));
  EXPECT_EQ(file.ReadString("ProgExe", "-1"), "-1");
  EXPECT_EQ(ReadUninstallSettings(disk, tree.Path()).prog_exe, "-1");
}

TEST(SettingsFileOpen, MissingAndDirectoryPathsGiveDefaults) {
  TempTree tree;
  SettingsFile file;
  EXPECT_FALSE(file.Open(disk, tree.Path() + "nothing.dat"));
  EXPECT_FALSE(file.Open(disk, tree.Path()));
  EXPECT_FALSE(file.SelectGroup("Settings"));
  EXPECT_TRUE(file.SelectGroup(""));
}

TEST(SettingsFileOpen, ReadsLargeFilesWholeAndUtf8FromDisk) {
  TempTree tree;
  std::string big = "\xEF\xBB\xBF[Files]\r\n";
  const std::string line = "f=" + std::string(1000, 'x') + "\r\n";
  while (big.size() < 50u * 1024 * 1024) big += line;
  big += "[Language]\r\nTitel=Entfernen\xC3\xA4\r\n";
  const std::string path = tree.Write("uninstall.dat", big);
  SettingsFile file;
  ASSERT_TRUE(file.Open(disk, path));
  EXPECT_TRUE(file.IsUtf8());
  file.SelectGroup("Language");
  EXPECT_EQ(file.ReadString("Titel"), "Entfernen\xC3\xA4");
}
