// The in-process test program: GoogleTest, told where the stand-ins are.
#include <gtest/gtest.h>

#include "probes_win32.h"
#include "temp_tree_win32.h"

namespace {

std::string probe_program;
std::string probe_library;

void TakeOption(const std::string& arg, const std::string& flag, std::string& value) {
  if (arg.compare(0, flag.size(), flag) == 0) value = WindowsPathOf(arg.substr(flag.size()));
}

}  // namespace

const std::string& ProbeProgram() { return probe_program; }
const std::string& ProbeLibrary() { return probe_library; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    TakeOption(argv[i], "--probe-program=", probe_program);
    TakeOption(argv[i], "--probe-library=", probe_library);
  }
  return RUN_ALL_TESTS();
}
