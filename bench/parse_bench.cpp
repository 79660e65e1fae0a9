// Native parsing speed: an uninstall.dat of 1, 10 and 50 MB loaded, its
// start-up reads done and its [Files] group enumerated, repeated; prints the
// MB/s of the median run at each size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_file.h"

namespace {
std::string input;
void NoRelease(void*) {}

// Every file is the input.
class InputFile final : public WesternFileReader {
 public:
  HeldFileBytes ReadHeldFile(const std::string&) override {
    HeldFileBytes held;
    held.opened = true;
    held.bytes = input;
    held.hold = FileHold(&input, NoRelease);
    return held;
  }
};

// MB/s of the median of seven runs over a file of about this many megabytes.
double MegabytesPerSecond(size_t megabytes, size_t& checksum) {
  input = "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\n";
  for (int i = 0; input.size() < megabytes * 1024 * 1024; ++i) {
    input += "f" + std::to_string(i) + "=lib\\module" + std::to_string(i) + ".dll\r\n";
  }
  input += "[Language]\r\nTitel=Entfernen\r\n";
  std::vector<double> seconds;
  for (int run = 0; run < 7; ++run) {
    const auto start = std::chrono::steady_clock::now();
    SettingsFile file;
    InputFile files;
    file.Open(files, "uninstall.dat");
    file.SelectGroup("Settings");
    checksum += file.ReadString("ProgExe").size();
    if (file.SelectGroup("Files") && file.ExamineKeys()) {
      while (file.NextKey()) checksum += file.KeyValue().size();
    }
    file.SelectGroup("Language");
    checksum += file.ReadString("Titel").size();
    file.Close();
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return static_cast<double>(input.size()) / (1024.0 * 1024.0) / seconds[seconds.size() / 2];
}

}  // namespace

// One line: MB/s at 10 MB, then at 1 MB and at 50 MB, to show the cost is
// linear in the size; then a checksum that keeps the work from being skipped.
int main() {
  size_t checksum = 0;
  const double ten = MegabytesPerSecond(10, checksum);
  const double one = MegabytesPerSecond(1, checksum);
  const double fifty = MegabytesPerSecond(50, checksum);
  printf("%.0f %.0f %.0f\n%zu\n", ten, one, fifty, checksum);
  return 0;
}
