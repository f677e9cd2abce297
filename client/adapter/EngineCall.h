#pragma once
// Calling the engine from the client. A failed engine call becomes one value, EngineFailure
// (the status and the engine's own description), raised by Check and caught where a command
// starts; the window or dialog that ran the command decides how to show it.
#include <QString>

#include <utility>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

namespace tarnwick {

using velmora::com::Bstr;
using velmora::com::ComPtr;

// A failed engine call: its status and the description the engine left for the caller.
struct EngineFailure {
    HRESULT status = E_FAIL;
    QString text;
};

// The description the engine left for the last failed call on this thread, or a text naming
// the status when it left none.
QString LastEngineText(HRESULT status);

// Raises EngineFailure when status is a failure; returns status otherwise (S_FALSE included).
HRESULT Check(HRESULT status);

// Runs work and returns true, or catches the EngineFailure it raised, hands it to onFailure and
// returns false. Nothing else is caught: other exceptions are faults of the client.
template <class Work, class OnFailure> bool Attempt(Work&& work, OnFailure&& onFailure) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const EngineFailure& failure) {
        std::forward<OnFailure>(onFailure)(failure);
        return false;
    }
}

// A new engine object of the class. The runtime's refusal (engine not registered, library
// missing) raises EngineFailure with "Cannot create object!\nPlease reinstall this software.".
void CreateEngineObject(REFCLSID cls, REFIID iid, void** object);
template <class T> ComPtr<T> Create(REFCLSID cls, REFIID iid) {
    ComPtr<T> object;
    CreateEngineObject(cls, iid, reinterpret_cast<void**>(object.Put()));
    return object;
}

// The text shown when the engine cannot be created.
inline const char* const kCannotCreateObject =
    "Cannot create object!\nPlease reinstall this software.";

// Getters in one call: Text(bug, &IBug::get_Status), Long(set, &IBugSet::get_Count),
// Object(session, &IExeContext::get_CurUser). Each raises EngineFailure on a failed call.
template <class Owner> QString Text(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(BSTR*));
template <class Owner> LONG Long(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(LONG*));
template <class Owner> DATE Date(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(DATE*));
template <class Owner, class T>
ComPtr<T> Object(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(T**));
// An indexed getter: Item(set, &IRoleSet::get_Item, i).
template <class Owner, class T>
ComPtr<T> Item(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(LONG, T**), LONG index);

// Text across the boundary: a null BSTR is the empty text.
QString FromBstr(BSTR text);
Bstr ToBstr(const QString& text);

// ---- implementation of the templates ----

template <class Owner> QString Text(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(BSTR*)) {
    Bstr value;
    Check((owner->*getter)(value.Put()));
    return FromBstr(value.Get());
}

template <class Owner> LONG Long(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(LONG*)) {
    LONG value = 0;
    Check((owner->*getter)(&value));
    return value;
}

template <class Owner> DATE Date(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(DATE*)) {
    DATE value = 0;
    Check((owner->*getter)(&value));
    return value;
}

template <class Owner, class T>
ComPtr<T> Object(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(T**)) {
    ComPtr<T> value;
    Check((owner->*getter)(value.Put()));
    return value;
}

template <class Owner, class T>
ComPtr<T> Item(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(LONG, T**), LONG index) {
    ComPtr<T> value;
    Check((owner->*getter)(index, value.Put()));
    return value;
}

} // namespace tarnwick
