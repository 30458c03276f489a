// Hooks of the test build's DLL (VemoFunctionHooks.dll): the product's
// objects, reached from inside. The product DLL has none of this.
#include "buttons/btns.h"
#include "frame/collection.h"

namespace vemo {

struct BtnsTestAccess {
    static void StartCounter(Btns& btns, LONG counter) { btns.numbering_ = ButtonNumbering(counter); }
};

}  // namespace vemo

// A new keyed collection object (the product creates them only inside).
extern "C" HRESULT STDAPICALLTYPE VemoTestNewCollection(IDispatch** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return vemo::Guarded([&] { *out = vemo::CreateCollection().Detach(); });
}

// Sets the add counter of a Btns object of this DLL.
extern "C" HRESULT STDAPICALLTYPE VemoTestStartBtnsCounter(IUnknown* object, LONG counter) {
    if (!object || counter < 0) return E_INVALIDARG;
    _Btns* btns = nullptr;
    HRESULT hr = object->QueryInterface(IID__Btns, reinterpret_cast<void**>(&btns));
    if (FAILED(hr)) return hr;
    vemo::BtnsTestAccess::StartCounter(*static_cast<vemo::Btns*>(btns), counter);
    btns->Release();
    return S_OK;
}
