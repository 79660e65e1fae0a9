#include <gtest/gtest.h>
#include <windows.h>

#include "in_process_platform_win32.h"
#include "linux_side_win32.h"
#include "platform/owners_win32.h"
#include "removal/file_removal.h"
#include "temp_tree_win32.h"
#include "ui/confirmation_window_win32.h"

namespace {

// A program directory with its executable, removed through the real platform.
class FileRemovalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    own = tree.MakeDir("app") + "\\";
    tree.Write("app\\editor.exe", "MZ");
    settings.own_directory = own;
    settings.settings_path = own + "uninstall.dat";
    settings.prog_exe = "editor.exe";
    ASSERT_TRUE(window.Open());
  }
  void Settings(const std::string& dat) { tree.Write("app\\uninstall.dat", dat); }

  TempTree tree;
  std::string own;
  UninstallSettings settings;
  UiTexts texts;
  ConfirmationWindow window{texts};
  InProcessPlatform platform{window};
  struct : RemovalListener {
    void Entry(const EntryReport&) override {}
  } quiet;
};

}  // namespace

TEST_F(FileRemovalTest, ListedDirectoriesGoOnlyWhenEmptyWhenReached) {
  tree.MakeDir("app\\first");
  tree.MakeDir("app\\first\\child");
  tree.MakeDir("app\\second");
  tree.MakeDir("app\\second\\child");
  tree.MakeDir("app\\kept");
  tree.Write("app\\kept\\user.txt", "mine");
  Settings("[Files]\nf=editor.exe\n[Dirs]\na=first\\child\nb=first\nc=second\nd=second\\child\ne=kept\nf=\n");
  EXPECT_TRUE(RemoveListedFiles(settings, platform, quiet));
  EXPECT_FALSE(PathExists(own + "first")) << "child listed before its parent: both go";
  EXPECT_TRUE(PathExists(own + "second")) << "parent listed first still held its child";
  EXPECT_FALSE(PathExists(own + "second\\child"));
  EXPECT_TRUE(PathExists(own + "kept\\user.txt"));
  EXPECT_TRUE(PathExists(own)) << "an empty [Dirs] value never takes the own directory";
}

TEST_F(FileRemovalTest, ListedFilesSkipWhatCannotBeDeleted) {
  tree.MakeDir("app\\folder.dll");
  tree.Write("app\\locked.dll", "x");
  tree.Write("app\\readonly.dll", "x");
  SetFileAttributesA((own + "readonly.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  FileHandle locker(CreateFileA((own + "locked.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locker.Valid());
  Settings("[Files]\na=folder.dll\nb=locked.dll\nc=readonly.dll\nd=uninstall.dat\ne=editor.exe\n");
  EXPECT_TRUE(RemoveListedFiles(settings, platform, quiet));
  EXPECT_TRUE(PathExists(own + "folder.dll"));
  EXPECT_TRUE(PathExists(own + "locked.dll"));
  EXPECT_TRUE(PathExists(own + "readonly.dll"));
  EXPECT_TRUE(PathExists(own + "uninstall.dat")) << "held open by the reader while files are deleted";
  EXPECT_FALSE(PathExists(own + "editor.exe"));
  SetFileAttributesA((own + "readonly.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileRemovalTest, ListedRemovalWithNothingDeletedFails) {
  Settings("[Files]\na=gone.dll\n");
  EXPECT_FALSE(RemoveListedFiles(settings, platform, quiet));
  settings.prog_exe = "missing.exe";
  Settings("[Files]\na=editor.exe\n");
  EXPECT_FALSE(RemoveListedFiles(settings, platform, quiet));
  EXPECT_FALSE(RemoveAllFiles(settings, platform, quiet));
  EXPECT_TRUE(PathExists(own + "editor.exe"));
}

TEST_F(FileRemovalTest, DeleteAllStaysInsideTheOwnDirectory) {
  const std::string outside = tree.MakeDir("shared");
  tree.Write("shared\\other-program.dll", "x");
  tree.MakeDir("app\\data");
  tree.Write("app\\data\\notes.txt", "x");
  tree.MakeDir("app\\unlisted");
  tree.Write("app\\unlisted\\x.txt", "x");
  tree.Write("app\\user.doc", "x");
  ASSERT_TRUE(MakeDirectoryLink(outside, own + "linked"));
  Settings("[Dirs]\na=..\\shared\nb=data\nc=linked\nd=data\\..\\..\\shared\n");
  EXPECT_TRUE(RemoveAllFiles(settings, platform, quiet));
  EXPECT_TRUE(PathExists(outside + "\\other-program.dll"));
  EXPECT_FALSE(PathExists(own + "data"));
  EXPECT_FALSE(PathExists(own + "user.doc"));
  EXPECT_FALSE(PathExists(own + "uninstall.dat"));
  EXPECT_TRUE(PathExists(own + "unlisted\\x.txt"));
  RemoveLinuxLink(own + "linked");
}

TEST_F(FileRemovalTest, TenThousandListedEntriesAreAllWorkedThrough) {
  // Every twentieth file exists: creating all of them would measure Wine's
  // directory lookups rather than the removal.
  std::string dat = "[Files]\n";
  for (int i = 0; i < 10000; ++i) {
    const std::string name = "f" + std::to_string(i) + ".dat";
    if (i % 20 == 0) tree.Write("app\\" + name, "");
    dat += "k=" + name + "\n";
  }
  Settings(dat);
  EXPECT_TRUE(RemoveListedFiles(settings, platform, quiet));
  EXPECT_FALSE(PathExists(own + "f0.dat"));
  EXPECT_FALSE(PathExists(own + "f9980.dat"));
}
