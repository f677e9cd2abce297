#pragma once
// The identity of one creatable engine class and of the type library: what registration writes,
// what the class factory table is keyed by and what error reports name as their source.
#include <string_view>

#include <velmora/Com.h>

namespace velmora::engine {

struct ClassInfo {
    std::string_view name;                     // "Bug"
    std::string_view progId;                   // "Velmora.Bug.1"
    std::string_view versionIndependentProgId; // "Velmora.Bug"
    std::string_view description;              // "Bug Class"
    CLSID clsid;
    IID iid; // the class's own dual interface
    bool supportsErrorInfo;
    const IID* eventIid; // the outgoing event interface, or null when the class has none
};

inline bool HasEventInterface(const ClassInfo& cls) {
    return cls.eventIid != nullptr;
}

struct TypeLibraryInfo {
    GUID libid;
    std::string_view name;       // "VELMORALib"
    std::string_view helpString; // "Velmora 1.0 Type Library"
    int majorVersion;
    int minorVersion;
    int lcid;
};

} // namespace velmora::engine
