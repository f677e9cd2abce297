#pragma once
// The library's own bookkeeping for unloading: how many engine objects are alive and how many
// locks callers hold on its class factories. The library may be unloaded only when both are 0.
#include <velmora/Com.h>

namespace velmora::engine {

// Every object whose code lives in the library counts itself from construction to destruction.
void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
LONG LiveObjectCount() noexcept;

// IClassFactory::LockServer.
void LockModule() noexcept;
void UnlockModule() noexcept;
LONG ModuleLockCount() noexcept;

// S_OK when no object is alive and no lock is held, else S_FALSE (DllCanUnloadNow).
HRESULT CanUnloadNow() noexcept;

} // namespace velmora::engine
