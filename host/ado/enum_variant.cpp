#include "enum_variant.h"
#include "frame/module.h"

#include <memory>
#include <new>

namespace adohost {
namespace {

class VariantEnum final : public IEnumVARIANT {
public:
    VariantEnum(std::shared_ptr<const std::vector<vemo::Variant>> values, size_t position)
        : values_(std::move(values)), position_(position) {
        vemo::ObjectCreated();
    }
    ~VariantEnum() { vemo::ObjectDestroyed(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT)) {
            *out = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    STDMETHODIMP Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out && count) return E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < values_->size(); ++n, ++position_) {
            VariantInit(&out[n]);
            HRESULT hr = VariantCopy(&out[n], const_cast<VARIANT*>((*values_)[position_].Get()));
            if (FAILED(hr)) {
                for (ULONG k = 0; k < n; ++k) VariantClear(&out[k]);
                if (fetched) *fetched = 0;
                return hr;
            }
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        size_t left = values_->size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) VariantEnum(values_, position_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::shared_ptr<const std::vector<vemo::Variant>> values_;
    size_t position_;
    volatile LONG refs_ = 1;
};

}  // namespace

HRESULT NewVariantEnum(std::vector<vemo::Variant> values, IUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto shared = std::make_shared<const std::vector<vemo::Variant>>(std::move(values));
    auto* e = new (std::nothrow) VariantEnum(std::move(shared), 0);
    if (!e) return E_OUTOFMEMORY;
    *out = static_cast<IEnumVARIANT*>(e);
    return S_OK;
}

}  // namespace adohost
