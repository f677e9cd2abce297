#pragma once
// Calling the engine's object model from the tool: creating objects by class, and turning a
// failed call into an error that carries the engine's own description.
#include <stdexcept>
#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

namespace velmora::tool {

// A failed engine call: what the tool was doing and what the engine said about it.
class EngineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The description the engine left for the failed call, or the status code when it left none.
std::string LastErrorDescription(HRESULT status);

// Throws EngineError("<what> failed: <description>") when status is a failure.
void Require(HRESULT status, const std::string& what);

// Throws EngineError when a call that succeeded handed out no object.
template <class T> T* RequireObject(const com::ComPtr<T>& object, const std::string& what) {
    if (!object) throw EngineError(what + " failed: the engine returned no object");
    return object.Get();
}

// A new engine object of the class, or EngineError (naming the class) when the runtime cannot
// create one.
void CreateObject(REFCLSID cls, REFIID iid, const char* className, void** object);
template <class T> com::ComPtr<T> Create(REFCLSID cls, REFIID iid, const char* className) {
    com::ComPtr<T> object;
    CreateObject(cls, iid, className, reinterpret_cast<void**>(object.Put()));
    return object;
}

// The component runtime, initialised for the calling thread for the life of the object.
class ComApartment {
  public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

} // namespace velmora::tool
