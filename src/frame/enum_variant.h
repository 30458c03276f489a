// The one IEnumVARIANT of the project: what For Each walks, over a source
// of items.
//
// A source is a copyable cursor over Variants:
//   size_t Next(size_t count, Sink sink)  calls sink(const Variant&) for up
//                                         to `count` items; returns how many
//   size_t Skip(size_t count)             passes over up to `count`
//   void Reset()                          back to the start
//   Source Clone() const                  an independent cursor, same point
// The keyed collection's cursor is one (collection/keyed_list.h); Snapshot
// below walks values taken once.
#pragma once
#include "frame/auto_values.h"
#include "frame/com_object.h"

#include <algorithm>
#include <memory>
#include <oaidl.h>
#include <utility>
#include <vector>

namespace vemo {

template <class Source>
class VariantEnumerator final : public ComObject<VariantEnumerator<Source>, IEnumVARIANT> {
public:
    explicit VariantEnumerator(Source source) : source_(std::move(source)) {}

    // Copies of the next items, oldest first. On a failure nothing is handed
    // out and the enumerator stays where it was.
    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) noexcept override {
        if (fetched) *fetched = 0;
        if (count == 0) return S_OK;
        if (!items) return E_POINTER;
        ULONG done = 0;
        return Sealed([&]() -> HRESULT {
            Source saved = source_;
            try {
                source_.Next(count, [&](const Variant& item) {
                    VariantInit(&items[done]);
                    const HRESULT hr = VariantCopy(&items[done], const_cast<VARIANT*>(item.Get()));
                    if (FAILED(hr)) throw ComError{hr};
                    ++done;
                });
            } catch (...) {
                for (ULONG i = 0; i < done; ++i) VariantClear(&items[i]);
                source_ = std::move(saved);
                throw;
            }
            if (fetched) *fetched = done;
            return done == count ? S_OK : S_FALSE;
        });
    }
    STDMETHODIMP Skip(ULONG count) override { return source_.Skip(count) == count ? S_OK : S_FALSE; }
    STDMETHODIMP Reset() override {
        source_.Reset();
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) noexcept override {
        if (!out) return E_POINTER;
        return Sealed([&] { return VariantEnumerator::CreateInstance(IID_IEnumVARIANT, reinterpret_cast<void**>(out),
                                                                     source_.Clone()); });
    }

private:
    Source source_;
};

// An enumerator over `source`, as the IUnknown that _NewEnum hands out.
template <class Source>
ComPtr<IUnknown> NewEnumerator(Source source) {
    ComPtr<IUnknown> p;
    Check(VariantEnumerator<Source>::CreateInstance(IID_IUnknown, p.OutVoid(), std::move(source)));
    return p;
}

// Values taken once: what the enumerators of a fixed set (an ADO object's
// fields or parameters) walk over. Copies share the values.
class Snapshot {
public:
    explicit Snapshot(std::vector<Variant> values)
        : values_(std::make_shared<const std::vector<Variant>>(std::move(values))) {}

    template <class Sink>
    std::size_t Next(std::size_t count, Sink&& sink) {
        std::size_t done = 0;
        for (; done < count && position_ < values_->size(); ++done) {
            sink((*values_)[position_]);
            ++position_;
        }
        return done;
    }
    std::size_t Skip(std::size_t count) noexcept {
        const std::size_t passed = std::min(count, values_->size() - position_);
        position_ += passed;
        return passed;
    }
    void Reset() noexcept { position_ = 0; }
    Snapshot Clone() const { return *this; }

private:
    std::shared_ptr<const std::vector<Variant>> values_;
    std::size_t position_ = 0;
};

}  // namespace vemo
