#include "recorder.h"
#include "call_record.h"
#include "frame/out_values.h"

namespace adohost {

const IID* const CallRecord::kInterfaces[] = {&IID_ICallRecord, nullptr};
const wchar_t CallRecord::kErrorSource[] = L"AdoHost.CallRecord";

CallRecord::CallRecord() { RecorderCreated(); }
CallRecord::~CallRecord() { RecorderReleased(); }

STDMETHODIMP CallRecord::get_Text(BSTR* out) {
    return Member([&] {
        const std::wstring text = RecordText();
        vemo::SetOut(out, vemo::Utf16(text));
    });
}

STDMETHODIMP CallRecord::Clear() {
    ClearRecord();
    return S_OK;
}

}  // namespace adohost
