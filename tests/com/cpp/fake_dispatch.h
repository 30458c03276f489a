// A scripted automation object for tests: members by name, each answered by
// a handler, every call recorded with copies of its arguments.
#pragma once
#include "frame/auto_values.h"
#include "frame/com_object.h"

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

// Lives in the test's scope; References() reads 1 when no caller kept one.
class FakeObject : public vemo::ScopedComObject<FakeObject, IDispatch> {
public:
    // Arguments in call order (first argument first).
    using Handler = std::function<HRESULT(WORD flags, const std::vector<VARIANT>& args, VARIANT* result)>;
    struct Call {
        std::wstring name;
        WORD flags;
        std::vector<VARIANT> args;
    };

    FakeObject() = default;
    ~FakeObject() { Clear(); }

    void On(const std::wstring& name, Handler h) { members_.push_back({name, std::move(h)}); }
    // A property that answers a fixed 32-bit integer or double.
    void Property(const std::wstring& name, double value, VARTYPE type = VT_R8) {
        On(name, [value, type](WORD, const std::vector<VARIANT>&, VARIANT* r) {
            if (r) *r = type == VT_I4 ? vemo::raw::Long(static_cast<LONG>(value)) : vemo::raw::Double(value);
            return S_OK;
        });
    }
    const std::vector<Call>& Calls() const { return calls_; }
    size_t CountOf(const std::wstring& name) const {
        size_t n = 0;
        for (const Call& c : calls_) n += c.name == name;
        return n;
    }

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (size_t m = 0; m < members_.size(); ++m)
            if (_wcsicmp(members_[m].name.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(m + 1);
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        Call call{members_[id - 1].name, flags, {}};
        for (UINT i = p->cArgs; i-- > 0;) {
            VARIANT copy;
            VariantInit(&copy);
            VariantCopy(&copy, &p->rgvarg[i]);
            call.args.push_back(copy);
        }
        calls_.push_back(call);
        return members_[id - 1].handler(flags, calls_.back().args, result);
    }

private:
    struct Member {
        std::wstring name;
        Handler handler;
    };
    void Clear() {
        for (Call& c : calls_)
            for (VARIANT& v : c.args) VariantClear(&v);
        calls_.clear();
    }
    std::vector<Member> members_;
    std::vector<Call> calls_;
};
