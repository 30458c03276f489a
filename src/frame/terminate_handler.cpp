// What std::terminate does in the project's DLLs: abort, as libstdc++'s
// default handler does after it prints the pending exception's type to
// stderr. That printing links the whole C++ name demangler (about 46 KB of
// the 32-bit DLL); a DLL inside a host program has no stderr anyone reads,
// and no exception leaves an entry point (errors.h: Member, Sealed), so
// terminate is reached only by a fault. Defining the default handler here
// keeps libstdc++'s out of the link.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
