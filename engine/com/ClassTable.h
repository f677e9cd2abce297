#pragma once
// The engine's creatable classes: each class identity with the function that creates it, and the
// class factories handed out for them.
#include <array>

#include <velmora/Com.h>

#include "engine/com/ClassInfo.h"

namespace velmora::engine {

// Creates a new object, optionally inside an outer object, and returns its interface riid.
using Creator = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

struct ClassEntry {
    const ClassInfo* info;
    Creator create;
};

inline constexpr size_t kClassCount = 24;

// All classes, in the order of the class list of the object model.
const std::array<ClassEntry, kClassCount>& ClassTable();

// The entry of a class identifier, or null.
const ClassEntry* FindClass(REFCLSID clsid);

// DllGetClassObject: the class factory of clsid (one per class, kept for the life of the
// process), asked for riid. CLASS_E_CLASSNOTAVAILABLE for a class not in the table.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

} // namespace velmora::engine
