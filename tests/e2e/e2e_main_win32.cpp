// The end-to-end test program: GoogleTest, told where uninstall.exe is.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness_win32.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::string flag = "--uninstaller=";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.compare(0, flag.size(), flag) == 0) UninstallerSetting() = WindowsPathOf(arg.substr(flag.size()));
  }
  if (UninstallerSetting().empty()) {
    fprintf(stderr, "usage: %s --uninstaller=PATH\n", argv[0]);
    return 2;
  }
  return RUN_ALL_TESTS();
}
