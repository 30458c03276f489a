// regtlb: registers a type library file in the current Wine prefix (test host
// only; it stands in for the setup of the libraries a real machine carries).
// A library is registered under the LCID it declares, and under that one
// only, as on a real machine: a language-neutral registration of the same
// library left in the prefix by an earlier build is removed first.
#include <windows.h>
#include <oleauto.h>
#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        ITypeLib* lib = nullptr;
        HRESULT hr = LoadTypeLibEx(argv[i], REGKIND_NONE, &lib);
        if (SUCCEEDED(hr)) {
            TLIBATTR* attr = nullptr;
            hr = lib->GetLibAttr(&attr);
            if (SUCCEEDED(hr)) {
                if (attr->lcid != LANG_NEUTRAL) {
                    BSTR stale = nullptr;
                    if (SUCCEEDED(QueryPathOfRegTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum,
                                                        LANG_NEUTRAL, &stale))) {
                        UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, LANG_NEUTRAL,
                                          attr->syskind);
                        SysFreeString(stale);
                    }
                }
                lib->ReleaseTLibAttr(attr);
                hr = RegisterTypeLib(lib, argv[i], nullptr);
            }
            lib->Release();
        }
        if (FAILED(hr)) {
            std::fprintf(stderr, "regtlb: %ls: 0x%08lx\n", argv[i], static_cast<unsigned long>(hr));
            return 1;
        }
    }
    return 0;
}
