// regtlb: registers a type library file in the current Wine prefix (test host
// only; it stands in for the setup of the libraries a real machine carries).
#include <windows.h>
#include <oleauto.h>
#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        ITypeLib* lib = nullptr;
        HRESULT hr = LoadTypeLibEx(argv[i], REGKIND_REGISTER, &lib);
        if (FAILED(hr)) {
            std::fprintf(stderr, "regtlb: %ls: 0x%08lx\n", argv[i], static_cast<unsigned long>(hr));
            return 1;
        }
        lib->Release();
    }
    return 0;
}
