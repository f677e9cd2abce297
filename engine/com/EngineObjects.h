#pragma once
// Creating engine objects and recognising them again.
//
// The class factories create through CreateInstance<T>. Inside the engine, objects are created
// directly with CreateObject<T>() and their state is reached through ImplementationOf<T>(),
// which tells the engine's own objects apart from any other implementation of an interface.
#include <new>

#include <velmora/Com.h>
#include <velmora/ComSupport.h>

namespace velmora::engine {

// Creates a T, optionally inside the outer object `outer`, and returns its interface `riid`.
// Inside an outer object only IID_IUnknown may be requested (the inner unknown is returned).
template <class T> HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    T* object = nullptr;
    try {
        object = new T();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    object->AggregateInto(outer);
    IUnknown* inner = object->InnerUnknown();
    inner->AddRef();
    const HRESULT hr = inner->QueryInterface(riid, ppv);
    inner->Release(); // destroys the object when the query failed
    return hr;
}

// A new T holding one reference, for the engine's own use. Throws std::bad_alloc.
template <class T> com::ComPtr<T> CreateObject() {
    return com::ComPtr<T>(new T());
}

// The engine object behind an interface pointer, or null when the pointer is null or belongs to
// another implementation. No reference is added.
template <class T, class I> T* ImplementationOf(I* pointer) {
    return pointer ? dynamic_cast<T*>(pointer) : nullptr;
}

} // namespace velmora::engine
