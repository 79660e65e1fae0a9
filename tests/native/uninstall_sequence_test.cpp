#include <gtest/gtest.h>

#include "driver/uninstall_sequence.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "ui/confirmation_layout.h"

TEST(OwnDirectory, IsTheExecutablesDirectoryUnlessItIsTheDevelopmentOne) {
  EXPECT_EQ(ChooseOwnDirectory("C:\\App\\uninstall.exe", "", "C:\\Work"), "C:\\App\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\App\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "C:\\App\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\Dev\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "C:\\Work\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\Dev\\uninstall.exe", "C:\\Dev\\", "C:\\"), "C:\\");
  // The comparison is exact: another spelling is not the development directory.
  EXPECT_EQ(ChooseOwnDirectory("c:\\dev\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "c:\\dev\\");
  EXPECT_EQ(ChooseOwnDirectory("D:\\uninstall.exe", "", "C:\\Work"), "D:\\");
}

TEST(MissingSettingsBox, NamesThePathTriedInFixedEnglish) {
  const MessageText box = MissingSettingsMessage("C:\\App\\uninstall.dat");
  EXPECT_EQ(box.caption, " Quillmarn - Error");
  EXPECT_EQ(box.text, "Could not find 'uninstall.dat':\nC:\\App\\uninstall.dat");
  EXPECT_EQ(box.style, 0x10u);
}

namespace {

using Log = std::vector<std::string>;
const std::string kOwn = "C:\\Apps\\Editor\\";

// Runs the whole sequence on the fake platform, with uninstall.dat staged
// (unless dat is empty) and the user pressing the given controls.
Log RunWith(const std::string& dat, FakePlatform& platform, UninstallRun& run, std::vector<int> controls) {
  ClearStagedFiles();
  if (!dat.empty()) {
    StageFile(kOwn + "uninstall.dat", dat);
    platform.files.insert(kOwn + "uninstall.dat");
  }
  platform.controls = std::move(controls);
  EXPECT_EQ(RunUninstall(run, platform, ""), 0);
  EXPECT_EQ(HeldFileCount(), 0);
  return platform.log;
}

}  // namespace

TEST(RunUninstall, StartsInItsFixedOrderAndEndsWithTheWindowAndTheRights) {
  struct Case {
    const char* settings;
    bool administrator;
    Log expected;
  };
  const Log cancel = {"control:6", "end impersonation", "close window"};
  auto then = [&cancel](Log start) {
    start.insert(start.end(), cancel.begin(), cancel.end());
    return start;
  };
  const Case cases[] = {
      {"", false, then({"window"})},
      {"LoginAdmin=1\n", false, then({"window", "administrator?", "logon"})},
      {"LoginAdmin=1\n", true, then({"window", "administrator?"})},
      {"LoginAdmin=256\n", false, then({"window"})},
      {"NoDelAll=1\nProgDir=C:\\Apps\\Editor\n", false, then({"window", "hide option"})},
      {"NoDelAll=1\nProgDir=C:\\Apps\\Other\n", false, then({"window"})},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.administrator = c.administrator;
    UninstallRun run;
    EXPECT_EQ(RunWith(std::string("[Settings]\nProgName=Editor\n") + c.settings, platform, run, {kCancelButtonId}),
              c.expected)
        << c.settings;
  }
}

TEST(RunUninstall, EndsEarlyWithoutSettingsOrWindowAndWhenTheEventsEnd) {
  FakePlatform missing;
  UninstallRun run;
  EXPECT_EQ(RunWith("", missing, run, {}),
            Log{"box: Quillmarn - Error|Could not find 'uninstall.dat':\n" + kOwn + "uninstall.dat|16"});

  FakePlatform running;
  running.mutexes = {"EditorMutex"};
  UninstallRun run2;
  EXPECT_EQ(RunWith("[Settings]\nMutexString=EditorMutex\n", running, run2, {}),
            Log{"box:Uninstall Program|Close Program '' first!\nThen press OK!|48"});

  FakePlatform no_window;
  no_window.window_opens = false;
  UninstallRun run3;
  EXPECT_EQ(RunWith("[Settings]\n", no_window, run3, {kCancelButtonId}), Log{"window"});

  // The window's events ended without a button: the end is the same.
  FakePlatform quit;
  UninstallRun run4;
  EXPECT_EQ(RunWith("[Settings]\n", quit, run4, {}), (Log{"window", "end impersonation", "close window"}));
}

TEST(RunUninstall, InAShellFolderTheOptionIsHiddenAndTheDirectoryKept) {
  FakePlatform platform;
  platform.shell_folders = {"C:\\Apps\\Editor", "C:\\Windows"};
  UninstallRun run;
  const Log log = RunWith("[Settings]\n", platform, run, {kCancelButtonId});
  EXPECT_EQ(log, (Log{"window", "hide option", "control:6", "end impersonation", "close window"}));
  EXPECT_TRUE(run.shared_directory);
}

TEST(RunUninstall, FromTheDevelopmentDirectoryTheCurrentDirectoryIsTheOwnOne) {
  FakePlatform platform;
  platform.module_path = "C:\\Dev\\uninstall.exe";
  platform.current_directory = "C:\\Apps\\Editor";
  UninstallRun run;
  ClearStagedFiles();
  StageFile(kOwn + "uninstall.dat", "[Settings]\nProgName=Editor\n");
  platform.files.insert(kOwn + "uninstall.dat");
  platform.controls = {kCancelButtonId};
  EXPECT_EQ(RunUninstall(run, platform, "C:\\Dev\\"), 0);
  EXPECT_EQ(run.settings.own_directory, kOwn);
  EXPECT_EQ(run.texts.program_name, "Editor");
}
