// What the program's two windows share: their window classes, a top-level
// window centred on the screen for its client size, and fonts asked for by
// face, points and weight.
#pragma once

#include <windows.h>

#include <string>

// The program's icon in its resources.
constexpr int kIconResource = 1;

// Registers a window class of this program once (true when it already is),
// with the arrow cursor and, if asked, the program's icon.
bool RegisterWindowClass(const char* name, WNDPROC procedure, bool with_icon, HBRUSH background);

// A hidden top-level window of the class whose client area has this size,
// centred on the screen; null when it cannot be created.
HWND CreateCentredWindow(const char* window_class, const std::string& title, DWORD style, int client_width,
                         int client_height);

// The display's vertical pixels per inch, as the window's device context gives them.
int PixelsPerInch(HWND window);

HFONT CreateFaceFont(const char* face, int points, int weight, int pixels_per_inch);
