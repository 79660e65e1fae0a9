// All 2,000 keys of one group read through SettingsFile and through the
// platform's GetPrivateProfileStringA, in one process; prints both in ms.
#include <windows.h>

#include <cstdio>
#include <string>

#include "milliseconds_win32.h"

#include "settings/settings_file.h"
#include "settings/settings_file_win32.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string path = argv[1];
  constexpr int kKeys = 2000;
  const double ours_start = Now();
  size_t total = 0;
  SettingsFile file;
  DiskFiles disk;
  file.Open(disk, path);
  file.SelectGroup("Settings");
  for (int i = 0; i < kKeys; ++i) total += file.ReadString("Key" + std::to_string(i)).size();
  file.Close();
  const double ours = Now() - ours_start;
  const double theirs_start = Now();
  for (int i = 0; i < kKeys; ++i) {
    char value[256];
    total += GetPrivateProfileStringA("Settings", ("Key" + std::to_string(i)).c_str(), "", value, sizeof(value),
                                      path.c_str());
  }
  const double theirs = Now() - theirs_start;
  printf("%.2f\n%.2f\n%zu\n", ours, theirs, total);
  return 0;
}
