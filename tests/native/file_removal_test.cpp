#include <gtest/gtest.h>

#include "fake_files.h"
#include "fake_platform.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"

namespace {

using Parts = std::vector<std::string>;

const std::string kOwn = "C:\\Apps\\Editor\\";
// A value whose full path is one character beyond what the platform takes.
const std::string kLong = std::string(260 - kOwn.size(), 'x');

// Every entry the removal tells of, as "outcome path".
struct Told final : RemovalListener {
  std::vector<std::string> entries;
  void Entry(const EntryReport& report) override {
    entries.push_back(std::to_string(static_cast<int>(report.outcome)) + " " + report.path);
  }
};

std::string OutsideOf(const std::string& value) {
  return std::to_string(static_cast<int>(Outcome::kOutside)) + " " + kOwn + value;
}

UninstallSettings Installed(const std::string& groups) {
  ClearStagedFiles();
  UninstallSettings settings;
  settings.own_directory = kOwn;
  settings.settings_path = kOwn + "uninstall.dat";
  settings.prog_exe = "bin\\editor.exe";
  StageFile(settings.settings_path, groups);
  return settings;
}

}  // namespace

TEST(RelativePathBelow, JoinsAsThePlatformResolvesAndRefusesWhatItWouldTrim) {
  const std::vector<std::pair<const char*, const char*>> below = {
      {"", ""},
      {"data", "data"},
      {"data\\sub\\", "data\\sub"},
      {"link//", "link"},
      {"link\\/", "link"},
      {"data\\link/", "data\\link"},
      {".\\data\\.\\sub", "data\\sub"},
      {"a..b\\..a\\.hidden", "a..b\\..a\\.hidden"},
      {" lead\\x y", " lead\\x y"},
  };
  std::string relative;
  for (const auto& row : below) {
    EXPECT_TRUE(RelativePathBelow(row.first, relative)) << row.first;
    EXPECT_EQ(relative, row.second) << row.first;
  }
  for (const char* value : {"..", "..\\x", "a\\..\\..\\b", "a/../b", "...", ". .", "a\\.. \\b", "..\\", "x..", "data.",
                            "data \\x", "*", "d?ta", "C:\\", "data:stream", "a|b", "tab\there"}) {
    EXPECT_FALSE(RelativePathBelow(value, relative)) << value;
  }
}

TEST(BeyondPathLimit, CountsThePlatformsUnitsNotBytes) {
  // "x" (1 byte, 1 unit), "ж" (2 bytes), "王" (3 bytes), "😀" (4 bytes, 2 units).
  struct Letter {
    const char* bytes;
    size_t units;
  };
  for (const Letter& letter :
       {Letter{"x", 1}, Letter{"\xD0\xB6", 1}, Letter{"\xE7\x8E\x8B", 1}, Letter{"\xF0\x9F\x98\x80", 2}}) {
    for (const size_t units : {259u, 260u, 261u}) {
      // "C:\" and then letters up to the units, one "x" where a 2-unit letter leaves one over.
      std::string path = "C:\\";
      while (Utf16Units(path) + letter.units <= units) path += letter.bytes;
      while (Utf16Units(path) < units) path += "x";
      ASSERT_EQ(Utf16Units(path), units) << letter.bytes;
      EXPECT_EQ(BeyondPathLimit(path), units >= 260) << letter.bytes << " " << units;
    }
  }
  // A malformed byte stands for one letter, as its replacement does.
  EXPECT_EQ(Utf16Units("a\xFF\xD0"), 3u);
  EXPECT_EQ(Utf16Units("\xD0\xB6\xD0"), 2u) << "a sequence the end cuts";
}

TEST(RemoveListedFiles, TakesEachValueBelowTheOwnDirectoryByItsPartsAndTheProgramLast) {
  const UninstallSettings settings = Installed(
      "[Files]\nf1=bin/editor.exe\nf2=bin\\\\core.dll\nf3=..\\Shared\\x.dll\nf4=UNINSTALL.DAT\n"
      "f5=uninstall.exe\nf6=gone.dll\nf7=a\\..\\..\\b.dll\nf8=" +
      kLong +
      "\n"
      "[Dirs]\nd1=bin\\plugins\nd2=.\nd3=..\\Shared\nd4=bin\n");
  FakePlatform platform;
  platform.module_path = kOwn + "Uninstall.exe";
  platform.files = {kOwn + "bin\\editor.exe", kOwn + "bin\\core.dll"};
  platform.empty_dirs = {kOwn + "bin\\plugins"};
  Told told;
  EXPECT_TRUE(RemoveListedFiles(settings, platform, told));
  EXPECT_EQ(platform.progress_done, 7u) << "the program's file is the last of the 8 values";
  EXPECT_EQ(platform.progress_total, 8u);
  EXPECT_EQ(platform.log, (Parts{
                              "hold:" + kOwn,
                              "file:bin\\core.dll",
                              "status:  " + kOwn + "bin\\\\core.dll",
                              "file:gone.dll",
                              "file:bin\\editor.exe",
                              "status:  " + kOwn + "bin/editor.exe",
                              "emptydir:bin\\plugins",
                              "status:  " + kOwn + "bin\\plugins*.*",
                              "emptydir:bin",
                              "release",
                          }))
      << "uninstall.dat and the uninstaller are left to the end; the own directory to the batch";
  EXPECT_TRUE(platform.files.empty() && platform.empty_dirs.empty()) << "every listed entry went";
  const std::string absent = std::to_string(static_cast<int>(Outcome::kAbsent)) + " ";
  EXPECT_EQ(told.entries, (Parts{"0 " + kOwn + "bin\\core.dll", OutsideOf("..\\Shared\\x.dll"),
                                 absent + kOwn + "gone.dll", OutsideOf("a\\..\\..\\b.dll"),
                                 std::to_string(static_cast<int>(Outcome::kTooLong)) + " " + kOwn + kLong,
                                 "0 " + kOwn + "bin\\editor.exe", "0 " + kOwn + "bin\\plugins", OutsideOf("..\\Shared"),
                                 absent + kOwn + "bin"}));
  EXPECT_EQ(HeldFileCount(), 0);
}

TEST(RemoveAllFiles, PurgesTreesBelowTheOwnDirectoryKeepingWhatGoesLast) {
  const UninstallSettings settings = Installed("[Dirs]\nd1=..\\Shared\nd2=data\nd3=data\\..\\..\\Other\nd4=bin\nd5=\n");
  FakePlatform platform;
  platform.files = {kOwn + "bin\\editor.exe"};
  platform.empty_dirs = {kOwn + "bin"};
  Told told;
  EXPECT_TRUE(RemoveAllFiles(settings, platform, told));
  EXPECT_EQ(platform.log, (Parts{
                              "hold:" + kOwn + "|keep bin\\editor.exe|keep uninstall.dat|keep uninstall.exe",
                              "status:  " + kOwn + "data*.*",
                              "tree:data",
                              "status:  " + kOwn + "bin*.*",
                              "tree:bin",
                              "status:  " + kOwn + "*.*",
                              "tree:",
                              "status:  " + kOwn + "*.*",
                              "files:",
                              "file!:bin\\editor.exe",
                              "emptydir:bin",
                              "file!:uninstall.dat",
                              "release",
                          }))
      << "the directory that held the program goes after it";
  EXPECT_TRUE(platform.files.empty() && platform.empty_dirs.empty()) << "the trees went whole";
  EXPECT_EQ(told.entries.front(), OutsideOf("..\\Shared"));
  EXPECT_EQ(HeldFileCount(), 0);
}

// The form a handle's final path takes, which a path is compared with.
TEST(LongPathForm, DropsTrailingBackslashesButARootsAndMarksShares) {
  EXPECT_EQ(LongPathForm("C:\\Menu\\Editor\\\\"), "\\\\?\\C:\\Menu\\Editor");
  EXPECT_EQ(LongPathForm("C:\\"), "\\\\?\\C:\\");
  EXPECT_EQ(LongPathForm("\\\\server\\share\\x"), "\\\\?\\UNC\\server\\share\\x");
}

TEST(PlannedRemovals, AnEntryIsKnownByAllOfItsIdOrItsPathWhereThereIsNone) {
  PlannedRemovals plan;
  plan.Add({{7, 0x1, 0x20, {}}, ""});
  plan.Add({{7, 0x1, 0x20, {}}, ""});  // named twice
  plan.Add({{7, 0, 0, "\\\\?\\VOLUME{1}\\SHARE\\A.DLL"}, ""});
  EXPECT_TRUE(plan.Has({{7, 0x1, 0x20, {}}, ""}));
  EXPECT_FALSE(plan.Has({{7, 0x2, 0x20, {}}, ""})) << "ReFS: the low half alone names nothing";
  EXPECT_FALSE(plan.Has({{8, 0x1, 0x20, {}}, ""})) << "another volume";
  EXPECT_TRUE(plan.Has({{7, 0, 0, "\\\\?\\VOLUME{1}\\SHARE\\A.DLL"}, ""}));
  EXPECT_FALSE(plan.Has({{7, 0, 0, "\\\\?\\VOLUME{1}\\SHARE\\B.DLL"}, ""})) << "no id: the path tells";
  // A file by its name in its folder: a second name of it is not gone.
  plan.Add({{7, 0x1, 0x30, {}}, "top.txt"});
  EXPECT_TRUE(plan.Has({{7, 0x1, 0x30, {}}, "top.txt"}));
  EXPECT_FALSE(plan.Has({{7, 0x1, 0x30, {}}, "user.txt"}));
  EXPECT_FALSE(plan.Has({{7, 0x1, 0x30, {}}, ""})) << "the folder stays";
}

TEST(ReparseTagLeadsElsewhere, OnlyNameSurrogatesAreLinks) {
  struct Row {
    uint32_t tag;
    bool link;
  };
  const Row rows[] = {
      {0xA0000003, true},   // a junction or mount point
      {0xA000000C, true},   // a symbolic link
      {0xA000001D, true},   // a Linux subsystem's symbolic link
      {0x0, true},          // no tag told: taken for a link
      {0x9000001A, false},  // a cloud placeholder
      {0x9000601A, false},  // one of its variants
      {0x80000013, false},  // a deduplicated file
      {0x80000017, false},  // a file of the overlay filter (WOF)
      {0x8000001B, false},  // an app execution alias is no name surrogate either
  };
  for (const Row& row : rows) EXPECT_EQ(ReparseTagLeadsElsewhere(row.tag), row.link) << std::hex << row.tag;
}

TEST(MayHoldUnlisted, APlaceholderNotAllOnDiskIsNeverEmpty) {
  struct Row {
    uint32_t attributes;
    bool unlisted;
  };
  const Row rows[] = {
      {0x10, false},             // a plain directory
      {0x410, false},            // a cloud placeholder folder, fully populated and in sync
      {0x410 | 0x40000, true},   // not fully populated: recalled on open
      {0x10 | 0x40000, true},    // the same, however the provider tags it
      {0x410 | 0x400000, true},  // its content partly on disk
      {0x10 | 0x1000, true},     // a file server's offline folder
      {0x10 | 0x80000, false},   // pinned: all on disk
      {0x10 | 0x100000, false},  // unpinned, yet listed whole
  };
  for (const Row& row : rows) EXPECT_EQ(MayHoldUnlisted(row.attributes), row.unlisted) << std::hex << row.attributes;
}

TEST(DeleteAllWouldHarm, AtRootsAndShellFoldersAndAboveThem) {
  FakePlatform system;
  system.shell_folders = {
      "C:\\Users\\Ann\\Documents", "C:\\Users\\Public\\Desktop\\", "C:\\Program Files (x86)", "C:\\Users\\Ann", "",
      "D:/Media//Videos"};
  for (const char* own :
       {"C:\\", "d:", "\\\\server\\share\\", "\\\\server\\share", "\\\\server\\", "C:\\Users\\Ann\\Documents\\",
        "c:\\users\\ann\\documents\\", "C:/Users/Ann/Documents/", "C:\\Users\\", "C:\\Users\\Public\\",
        "C:\\Program Files (x86)\\", "C:\\Users\\Ann\\", "D:\\Media\\"}) {
    EXPECT_TRUE(DeleteAllWouldHarm(own, system)) << own;
  }
  for (const char* own : {"C:\\Users\\Ann\\Documents\\Editor\\", "C:\\Program Files (x86)\\Editor\\",
                          "\\\\server\\share\\Editor\\", "C:\\Users\\Ann\\Docs\\", "D:\\Apps\\", "D:\\Med\\"}) {
    EXPECT_FALSE(DeleteAllWouldHarm(own, system)) << own;
  }
  // Another spelling of a folder above one of them (a short name, a link):
  // the same entry, whatever the names say.
  system.identities["C:\\PROGRA~2\\"] = {7, 0, 42, {}};
  system.identities["C:\\Program Files (x86)"] = {7, 0, 42, {}};
  EXPECT_TRUE(DeleteAllWouldHarm("C:\\PROGRA~2\\", system));
  system.identities["C:\\Users\\Ann\\Docs\\"] = {7, 0, 43, {}};
  EXPECT_FALSE(DeleteAllWouldHarm("C:\\Users\\Ann\\Docs\\", system)) << "another entry";
}
