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

// The policy number and the "enforce" flag of the redirection trust policy.
constexpr int kRedirectionTrustPolicy = 16;
constexpr unsigned long kEnforceRedirectionTrust = 1;
