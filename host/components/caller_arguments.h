// What the stand-ins do with the arguments of their late-bound callers.
//
// Write-back mode, for tests of the callers (on while the environment
// variable TESTHOST_WRITE_BACK is set): a component written in VB that
// assigns to a ByRef text parameter frees the caller's text and puts a new
// one in its place. The stand-ins do that to every text their late-bound
// callers pass by reference, before the call runs.
#pragma once
#include <oaidl.h>
#include <string>

namespace testhost {

void WriteBackTexts(DISPPARAMS* params);

// The types of the arguments as the caller sent them, first to last
// ("8,16396"), for the tests that check what the library passes.
std::wstring ArgumentTypes(const DISPPARAMS* params);

}  // namespace testhost
