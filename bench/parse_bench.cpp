// Native parsing speed: a 10 MB uninstall.dat loaded, its start-up reads done
// and its [Files] group enumerated, repeated; prints MB/s of the median run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/settings.h"
#include "driver/settings_file.h"

namespace {
std::string input;
void NoRelease(void*) {}
}  // namespace

HeldFileBytes ReadHeldFile(const std::string&) {
  HeldFileBytes held;
  held.opened = true;
  held.bytes = input;
  held.hold = FileHold(&input, NoRelease);
  return held;
}

int main() {
  input = "[Settings]\r\nProgName=Editor\r\nProgExe=editor.exe\r\n[Files]\r\n";
  for (int i = 0; input.size() < 10u * 1024 * 1024; ++i) {
    input += "f" + std::to_string(i) + "=lib\\module" + std::to_string(i) + ".dll\r\n";
  }
  input += "[Language]\r\nTitel=Entfernen\r\n";
  std::vector<double> seconds;
  size_t checksum = 0;
  for (int run = 0; run < 7; ++run) {
    const auto start = std::chrono::steady_clock::now();
    SettingsFile file;
    file.Open("uninstall.dat");
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
  printf("%.0f\n%zu\n", static_cast<double>(input.size()) / (1024.0 * 1024.0) / seconds[seconds.size() / 2], checksum);
  return 0;
}
