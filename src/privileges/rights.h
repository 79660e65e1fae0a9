// How a run gets the administrator rights that LoginAdmin asks for, as
// today's Windows grants them: with User Account Control on, an
// administrator's programs run with a filtered token, and only the system's
// own prompt starts one elevated; without it, a logon gives the rights.
#pragma once

#include <cstdint>

struct RightsState {
  bool login_admin;       // uninstall.dat asks for administrator rights
  bool administrator;     // the process has them already
  bool uac_on;            // User Account Control is on
  bool unattended;        // nobody can be asked
  bool started_elevated;  // this process is the one the prompt started
};

enum class RightsStep : uint8_t {
  kGoOn,                // with the rights it has: it has them, needs none, or was asked once already
  kElevate,             // the system's prompt starts the program once more, elevated, before any window
  kLogonWindow,         // without User Account Control: the logon window over the confirmation window
  kNeedsAdministrator,  // unattended and without them: the run ends with 740
};

RightsStep DecideRights(const RightsState& state);
