// The one message-box service: one OK button, modal to every window of the
// calling thread. Returns the identifier of the button that closed the box.
#pragma once

#include <string>

int ShowMessage(const std::string& caption, const std::string& text, unsigned style);

// Style bits of the boxes this program shows.
constexpr unsigned kErrorBoxStyle = 0x10;    // MB_OK | MB_ICONERROR
constexpr unsigned kWarningBoxStyle = 0x30;  // MB_OK | MB_ICONWARNING
