// Administrator rights: the test, the logon window, and the impersonation of
// the administrator who logged on, for the rest of the run.
#pragma once

#include <windows.h>

#include "platform/owners_win32.h"
#include "settings/settings.h"

// The platform calls whose answers Wine does not vary: the program links the
// real ones, the tests their own (with ServiceManagerTraits::Close).
SC_HANDLE OpenServiceManager(DWORD access);
BOOL LogOnUser(const char* user, const char* password, HANDLE* token);
BOOL ImpersonateUser(HANDLE token);
// User Account Control: on unless the system's policy turns it off.
bool UacIsOn();

bool IsAdministrator();

// Logs the user on to the local computer and impersonates them; the token, or
// none when the logon or the impersonation failed, or when the account is
// no administrator (administrator false then).
// Plain C strings, so that the password is never copied into another buffer.
KernelHandle LogOnAndImpersonate(const char* user, const char* password, bool& administrator);

// Shows the logon window over the confirmation window and returns when a
// logon succeeded (the token) or the user closed the window (none).
KernelHandle RunLogonDialog(const UiTexts& texts);

// Ends an impersonation and releases its token; nothing without a token.
void EndImpersonation(KernelHandle& token);
