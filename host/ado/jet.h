// The Jet providers of the test host. No Jet engine exists here, so opening
// an Access file means: the file exists and its header carries the Jet
// signature with a version that the provider reads (3.51: Jet 3 files only;
// 4.0: Jet 3 and Jet 4 files). Such a connection can be opened, inspected and
// closed, but runs no statements.
#pragma once
#include "connection_string.h"

#include <string>

namespace adohost {

enum class JetProvider { None, Jet351, Jet40 };

// The Jet provider that a Provider value names, or None.
JetProvider JetProviderNamed(const std::wstring& provider);

// Checks the file that the properties name and returns the provider's full
// connection string; raises the provider's error when it cannot open the file.
std::wstring OpenJet(JetProvider provider, const ConnectionProperties& props);

}  // namespace adohost
