// Hooks of the test build's DLL (VemoFunctionHooks.dll): the product's
// objects, reached from inside. The product DLL has none of this.
#include "buttons/btns.h"
#include "collection/collection.h"

#include <cstdlib>
#include <new>

namespace vemo {

struct BtnsTestAccess {
    static void StartCounter(Btns& btns, LONG counter) { btns.numbering_ = ButtonNumbering(counter); }
};

}  // namespace vemo

// Allocation failure on demand: every operator new of this DLL (the C++
// runtime is linked into it statically) counts down, and the one that
// reaches zero throws bad_alloc.
namespace {
volatile LONG gAllocationCountdown = 0;  // 0: no failure pending
}  // namespace

void* operator new(std::size_t size) {
    if (gAllocationCountdown > 0 && InterlockedDecrement(&gAllocationCountdown) == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// Makes the n-th allocation from now fail (0: none); returns what was left of
// the previous countdown, so 0 says that the failure it set up happened.
extern "C" LONG STDAPICALLTYPE VemoTestFailAllocation(LONG n) {
    return InterlockedExchange(&gAllocationCountdown, n < 0 ? 0 : n);
}

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
