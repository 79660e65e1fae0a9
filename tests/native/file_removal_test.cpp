#include <gtest/gtest.h>

#include "fake_files.h"
#include "fake_platform.h"
#include "removal/file_removal.h"

namespace {

using Parts = std::vector<std::string>;

const std::string kOwn = "C:\\Apps\\Editor\\";

// The end of every delete-all: the own directory's files, keeping the program
// and uninstall.dat for last.
const std::vector<std::string> kOwnDirectoryLast = {
    "status:  " + kOwn + "*.*",
    "purge:" + kOwn + "|*.*|clear|keep " + kOwn + "editor.exe|keep " + kOwn + "uninstall.dat",
    "purge:" + kOwn + "|editor.exe|clear",
    "purge:" + kOwn + "|uninstall.dat|clear",
};

std::vector<std::string> ThenTheOwnDirectory(std::vector<std::string> log) {
  log.insert(log.end(), kOwnDirectoryLast.begin(), kOwnDirectoryLast.end());
  return log;
}

UninstallSettings Installed(const std::string& dirs) {
  ClearStagedFiles();
  UninstallSettings settings;
  settings.own_directory = kOwn;
  settings.settings_path = kOwn + "uninstall.dat";
  settings.prog_exe = "editor.exe";
  StageFile(settings.settings_path, "[Dirs]\n" + dirs);
  return settings;
}

}  // namespace

TEST(DirectoryPartsBelow, SplitsAsThePlatformResolvesAndRefusesWhatItWouldTrim) {
  const std::vector<std::pair<const char*, Parts>> below = {
      {"", {}},
      {"data", {"data"}},
      {"data\\sub\\", {"data", "sub"}},
      {"link/", {"link"}},
      {"link//", {"link"}},
      {"link\\/", {"link"}},
      {"data\\link/", {"data", "link"}},
      {".\\data\\.\\sub", {"data", "sub"}},
      {"a..b\\..a\\.hidden", {"a..b", "..a", ".hidden"}},
      {" lead\\x y", {" lead", "x y"}},
  };
  Parts parts;
  for (const auto& row : below) {
    EXPECT_TRUE(DirectoryPartsBelow(row.first, parts)) << row.first;
    EXPECT_EQ(parts, row.second) << row.first;
  }
  for (const char* value : {"..", "..\\x", "a\\..\\..\\b", "a/../b", "...", ". .", "a\\.. \\b", "..\\", "x..", "data.",
                            "data \\x", "*", "d?ta", "C:\\", "data:stream", "a|b", "tab\there"}) {
    EXPECT_FALSE(DirectoryPartsBelow(value, parts)) << value;
  }
}

TEST(RemoveAllFiles, PassesOverTreesOutsideTheOwnDirectory) {
  const UninstallSettings settings = Installed("d1=..\\Shared\nd2=data\nd3=data\\..\\..\\Other\nd4=\n");
  FakePlatform platform;
  platform.files = {kOwn + "editor.exe"};
  EXPECT_TRUE(RemoveAllFiles(settings, platform));
  const std::string keep = "|keep " + kOwn + "editor.exe";
  EXPECT_EQ(platform.log, ThenTheOwnDirectory({
                              "status:  " + kOwn + "data*.*",
                              "purge:" + kOwn + "data\\|*.*|recursive|clear" + keep,
                              "status:  " + kOwn + "*.*",
                              "purge:" + kOwn + "|*.*|recursive|clear" + keep,
                          }));
  EXPECT_EQ(HeldFileCount(), 0);
}

TEST(RemoveAllFiles, ALinkInAnySpellingLosesOnlyTheLinkAndNothingBeyondItIsPurged) {
  // "link" and "data\inner" are links to the user's data elsewhere.
  const std::vector<std::pair<std::string, std::string>> values = {
      {"link", "unlink:" + kOwn + "link"},
      {"link/", "unlink:" + kOwn + "link"},
      {"link//", "unlink:" + kOwn + "link"},
      {"link\\/", "unlink:" + kOwn + "link"},
      {".\\link\\.", "unlink:" + kOwn + "link"},
      {"data\\inner/", "unlink:" + kOwn + "data\\inner"},
      {"link\\sub", ""},
      {"link/sub/deeper", ""},
      {"data\\inner\\x", ""},
      {"data", "purge:" + kOwn + "data\\|*.*|recursive|clear|keep " + kOwn + "editor.exe"},
  };
  for (const auto& value : values) {
    const UninstallSettings settings = Installed("d=" + value.first + "\n");
    FakePlatform platform;
    platform.files = {kOwn + "editor.exe"};
    platform.links = {kOwn + "link", kOwn + "data\\inner"};
    RemoveAllFiles(settings, platform);
    std::vector<std::string> tree;
    if (!value.second.empty()) tree = {"status:  " + kOwn + value.first + "*.*", value.second};
    EXPECT_EQ(platform.log, ThenTheOwnDirectory(tree)) << value.first;
  }
}

TEST(DeleteAllWouldHarm, AtRootsAndShellFoldersAndAboveThem) {
  const std::vector<std::string> shell = {"C:\\Users\\Ann\\Documents", "C:\\Users\\Public\\Desktop\\",
                                          "C:\\Program Files (x86)", "C:\\Users\\Ann"};
  for (const char* own : {"C:\\", "d:", "\\\\server\\share\\", "\\\\server\\share", "\\\\server\\",
                          "C:\\Users\\Ann\\Documents\\", "c:\\users\\ann\\documents\\", "C:/Users/Ann/Documents/",
                          "C:\\Users\\", "C:\\Users\\Public\\", "C:\\Program Files (x86)\\", "C:\\Users\\Ann\\"}) {
    EXPECT_TRUE(DeleteAllWouldHarm(own, shell)) << own;
  }
  for (const char* own : {"C:\\Users\\Ann\\Documents\\Editor\\", "C:\\Program Files (x86)\\Editor\\",
                          "\\\\server\\share\\Editor\\", "C:\\Users\\Ann\\Docs\\", "D:\\Apps\\"}) {
    EXPECT_FALSE(DeleteAllWouldHarm(own, shell)) << own;
  }
}
