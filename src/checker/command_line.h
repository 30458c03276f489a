// The checker's command line:
//   VemoFunctionCheck [/user | /machine] [/dll PATH] [/quiet]
// Options are case-blind and may start with - as well as /.
#pragma once
#include "checker/classes_view.h"

#include <string>

namespace vemo::check {

struct Options {
    Scope scope = Scope::kMerged;
    std::wstring dll;  // empty: any registered file
    bool quiet = false;
};

// False, with the reason in `error`, for a command line it does not take.
bool ParseCommandLine(int argc, wchar_t** argv, Options& options, std::wstring& error);
extern const wchar_t kUsage[];

}  // namespace vemo::check
