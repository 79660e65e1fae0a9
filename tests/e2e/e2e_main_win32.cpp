// The end-to-end test program: GoogleTest, told where uninstall.exe is.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "harness_win32.h"
#include "probes_win32.h"

namespace {

std::string probe_program;
std::string probe_library;
std::string filtered_uninstaller;

}  // namespace

const std::string& FilteredUninstaller() { return filtered_uninstaller; }
const std::string& ProbeProgram() { return probe_program; }
const std::string& ProbeLibrary() { return probe_library; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::string flag = "--uninstaller=";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.compare(0, flag.size(), flag) == 0) UninstallerSetting() = WindowsPathOf(arg.substr(flag.size()));
    for (auto option :
         {std::make_pair("--probe-program=", &probe_program), std::make_pair("--probe-library=", &probe_library),
          std::make_pair("--filtered-uninstaller=", &filtered_uninstaller)}) {
      const std::string name = option.first;
      if (arg.compare(0, name.size(), name) == 0) *option.second = WindowsPathOf(arg.substr(name.size()));
    }
  }
  if (UninstallerSetting().empty()) {
    fprintf(stderr, "usage: %s --uninstaller=PATH\n", argv[0]);
    return 2;
  }
  return RUN_ALL_TESTS();
}
