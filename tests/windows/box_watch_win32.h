// Watches for the next message box of this thread while code under test runs
// its modal loop: records what the box showed and presses OK.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct BoxSighting {
  HWND box = nullptr;
  HWND owner = nullptr;
  std::string caption;
  std::string text;
  std::vector<HWND> watched;  // windows whose enabled state is recorded
  std::vector<bool> enabled;
};

// Starts watching; the sighting must outlive the box.
void WatchForBox(BoxSighting& sighting);
void StopWatchingForBoxes();
