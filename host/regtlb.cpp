// regtlb: registers a type library file in the current Wine prefix (test host
// only; it stands in for the setup of the libraries a real machine carries).
// A library is registered under the LCID it declares, and under that one
// only, as on a real machine: a language-neutral registration of the same
// library left in the prefix by an earlier build is removed first.
#include "frame/auto_values.h"
#include "frame/com_ptr.h"
#include "frame/typeinfo.h"

#include <windows.h>
#include <oleauto.h>
#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        vemo::ComPtr<ITypeLib> lib;
        vemo::LibAttr attr;
        HRESULT hr = LoadTypeLibEx(argv[i], REGKIND_NONE, lib.Out());
        if (SUCCEEDED(hr)) hr = lib->GetLibAttr(attr.Out(lib.Get()));
        if (SUCCEEDED(hr)) {
            vemo::Bstr stale;
            if (attr->lcid != LANG_NEUTRAL &&
                SUCCEEDED(QueryPathOfRegTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, LANG_NEUTRAL,
                                                stale.Out())))
                UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, LANG_NEUTRAL, attr->syskind);
            hr = RegisterTypeLib(lib.Get(), argv[i], nullptr);
        }
        if (FAILED(hr)) {
            std::fprintf(stderr, "regtlb: %ls: 0x%08lx\n", argv[i], static_cast<unsigned long>(hr));
            return 1;
        }
    }
    return 0;
}
