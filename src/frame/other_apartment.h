// Calls through a proxy: an object marshalled to a thread of its own, as a
// client in another apartment reaches it. The test programs and the
// registration checker show with it that marshalling works.
#pragma once
#include "frame/handles.h"

#include <windows.h>
#include <objbase.h>
#include <functional>

namespace vemo {

namespace detail {
struct ApartmentCall {
    IStream* stream;
    IID iid;
    const std::function<void(IUnknown*)>* body;
    HRESULT hr;
};
// A thread routine is stdcall: in the 32-bit build no lambda converts to one.
inline DWORD WINAPI RunInApartment(void* arg) {
    auto* c = static_cast<ApartmentCall*>(arg);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IUnknown* proxy = nullptr;
    c->hr = CoGetInterfaceAndReleaseStream(c->stream, c->iid, reinterpret_cast<void**>(&proxy));
    if (SUCCEEDED(c->hr)) {
        (*c->body)(proxy);
        proxy->Release();
    }
    CoUninitialize();
    return 0;
}
}  // namespace detail

// Runs `body` on a thread of its own (a multithreaded apartment) with
// `object` marshalled to it as `iid`, so every call goes through a proxy.
// This apartment pumps its messages meanwhile: the calls come back through
// its queue. Returns the first failure of marshalling, or S_OK.
inline HRESULT InOtherApartment(IUnknown* object, REFIID iid, const std::function<void(IUnknown*)>& body) {
    detail::ApartmentCall call = {nullptr, iid, &body, E_FAIL};
    HRESULT hr = CoMarshalInterThreadInterfaceInStream(iid, object, &call.stream);
    if (FAILED(hr)) return hr;
    const KernelHandle thread(CreateThread(nullptr, 0, detail::RunInApartment, &call, 0, nullptr));
    if (!thread) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        call.stream->Release();
        return hr;
    }
    HANDLE waitFor = thread.Get();
    // No time limit: the thread reads `call` and `body` from this frame until it ends.
    while (MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return call.hr;
}

}  // namespace vemo
