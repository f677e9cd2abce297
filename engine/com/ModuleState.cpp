#include "engine/com/ModuleState.h"

#include <atomic>

namespace velmora::engine {

namespace {

std::atomic<LONG> liveObjects{0};
std::atomic<LONG> moduleLocks{0};

} // namespace

void ObjectCreated() noexcept {
    ++liveObjects;
}

void ObjectDestroyed() noexcept {
    --liveObjects;
}

LONG LiveObjectCount() noexcept {
    return liveObjects.load();
}

void LockModule() noexcept {
    ++moduleLocks;
}

// An unlock without a matching lock is ignored: a caller's mistake must not let the count go
// negative and keep the library from ever unloading.
void UnlockModule() noexcept {
    LONG current = moduleLocks.load();
    while (current > 0 && !moduleLocks.compare_exchange_weak(current, current - 1)) {
    }
}

LONG ModuleLockCount() noexcept {
    return moduleLocks.load();
}

HRESULT CanUnloadNow() noexcept {
    return liveObjects.load() == 0 && moduleLocks.load() == 0 ? S_OK : S_FALSE;
}

} // namespace velmora::engine
