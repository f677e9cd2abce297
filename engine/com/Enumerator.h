#pragma once
// An enumerator over a snapshot of counted references (IEnumConnections, IEnumConnectionPoints):
// it holds one reference to every element for its own life and hands out a new one with every
// element it returns.
#include <algorithm>
#include <new>
#include <vector>

#include <velmora/Com.h>

#include "engine/com/LiveObject.h"

namespace velmora::engine {

inline void AddElementReference(const CONNECTDATA& element) {
    if (element.pUnk) element.pUnk->AddRef();
}
inline void ReleaseElementReference(const CONNECTDATA& element) {
    if (element.pUnk) element.pUnk->Release();
}
inline void AddElementReference(IUnknown* element) {
    if (element) element->AddRef();
}
inline void ReleaseElementReference(IUnknown* element) {
    if (element) element->Release();
}

template <class Interface, class Element, const IID& kInterfaceId>
class SnapshotEnumerator final : public LiveObject<Interface, kInterfaceId> {
  public:
    // Takes a new reference to every element.
    explicit SnapshotEnumerator(std::vector<Element> elements, size_t position = 0)
        : elements_(std::move(elements)), position_(std::min(position, elements_.size())) {
        for (const Element& element : elements_)
            AddElementReference(element);
    }
    ~SnapshotEnumerator() override {
        for (const Element& element : elements_)
            ReleaseElementReference(element);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Element* out, ULONG* fetched) override {
        if (!out || (count != 1 && !fetched)) return E_POINTER;
        ULONG taken = 0;
        while (taken < count && position_ < elements_.size()) {
            out[taken] = elements_[position_++];
            AddElementReference(out[taken]);
            ++taken;
        }
        if (fetched) *fetched = taken;
        return taken == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const size_t skipped = std::min<size_t>(count, elements_.size() - position_);
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface** copy) override {
        if (!copy) return E_POINTER;
        *copy = nullptr;
        SnapshotEnumerator* clone = nullptr;
        try {
            clone = new SnapshotEnumerator(elements_, position_);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        clone->AddRef();
        *copy = clone;
        return S_OK;
    }

  private:
    std::vector<Element> elements_;
    size_t position_;
};

using ConnectionEnumerator =
    SnapshotEnumerator<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;
using ConnectionPointEnumerator =
    SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;

} // namespace velmora::engine
