// What the process trusts, set before anything else runs. The search for
// DLLs loaded by name is restricted to the system directory, so that a DLL
// planted beside the uninstaller (a download folder, a writable program
// directory) is never loaded, even with administrator rights. Where the
// system offers it, no junction that a non-administrator made is followed.
// The system's critical-error boxes are kept away.
#pragma once

// Finds a procedure of kernel32 by name; null where the system has none.
using ProcedureLookup = void* (*)(const char* name);
void* KernelProcedure(const char* name);

// Procedures the system lacks are passed over; those it has but refuses
// (an older system that knows the call but not the policy) too.
void RestrictDllSearch(ProcedureLookup lookup = KernelProcedure);

// A procedure of a system library, which is loaded from the system's folder
// when it is first needed: the window appears without shell32, ole32 and
// oleaut32, which only some runs use. Null when it cannot be had.
void* SystemProcedure(const char* library, const char* name);
template <typename Function>
Function Late(const char* library, const char* name) {
  return reinterpret_cast<Function>(SystemProcedure(library, name));
}

// The policy number and the "enforce" flag of the redirection trust policy.
constexpr int kRedirectionTrustPolicy = 16;
constexpr unsigned long kEnforceRedirectionTrust = 1;
