#include "engine/admin/Permission.h"

#include <new>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/log/Log.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

// Why the current right could not be read, with the code it is logged with.
struct Unreadable {
    LONG code;
    const char* reason;
};
constexpr Unreadable kNoSession = {0, "ExeContext is NULL"};
constexpr Unreadable kNoRole = {0, "Get role failed"};
constexpr Unreadable kNullRole = {0, "role is NULL"};
constexpr Unreadable kNoRight = {3, "get right failed"};

// The engine's right object behind an interface; a right of another implementation is copied
// flag by flag through its interface.
ComPtr<CRight> EngineRight(IRight* right) {
    if (CRight* own = ImplementationOf<CRight>(right)) return ComPtr<CRight>(own);
    auto copy = CreateObject<CRight>();
    LONG id = 0;
    right->get_ID(&id);
    copy->SetID(id);
    LONG value = 0;
#define VELMORA_COPY_FLAG(name, grantsRead)                                                        \
    value = 0;                                                                                     \
    right->get_##name(&value);                                                                     \
    copy->SetFlag(RightFlag::name, value != 0);
    VELMORA_RIGHT_FLAGS(VELMORA_COPY_FLAG)
#undef VELMORA_COPY_FLAG
    return copy;
}

// Reads the current right afresh. On failure returns the reason and leaves *out empty.
const Unreadable* ReadRight(IExeContext* session, RightPath path, ComPtr<CRight>* out) {
    out->Reset();
    if (!session) return &kNoSession;
    ComPtr<IRight> right;
    if (path == RightPath::CurrentRight) {
        if (FAILED(session->get_CurRight(right.Put())) || !right) return &kNoRight;
    } else {
        ComPtr<IRole> role;
        if (FAILED(session->get_CurRole(role.Put()))) return &kNoRole;
        if (!role) return &kNullRole;
        if (FAILED(role->get_Right(right.Put())) || !right) return &kNoRight;
    }
    *out = EngineRight(right.Get());
    return nullptr;
}

HRESULT Refuse(const ClassInfo& cls, const GuardedAction& action, const char* logText,
               const char* actionText) {
    if (logText) log::LogError(3, action.logSource, logText);
    return Fail(cls, NoRightMessage(actionText));
}
HRESULT Refuse(const ClassInfo& cls, const GuardedAction& action, const char* logText) {
    return Refuse(cls, action, logText, action.actionText);
}

} // namespace

std::string NoRightMessage(const std::string& actionText) {
    return "You have no right to " + actionText + ", please contact your manager!";
}

HRESULT ReadCurrentRight(IExeContext* session, const char* logSource, ComPtr<CRight>* right) {
    if (!right) return E_POINTER;
    return Guard([&]() -> HRESULT {
        if (const Unreadable* failure = ReadRight(session, RightPath::ThroughCurrentRole, right)) {
            log::LogError(failure->code, logSource, failure->reason);
            return E_FAIL;
        }
        return S_OK;
    });
}

HRESULT CheckPermission(IExeContext* session, const ClassInfo& cls, const GuardedAction& action) {
    return CheckPermission(session, cls, action, action.actionText);
}

HRESULT CheckPermission(IExeContext* session, const ClassInfo& cls, const GuardedAction& action,
                        const char* unreadableActionText) {
    return Guard([&]() -> HRESULT {
        ComPtr<CRight> right;
        const HRESULT hr = ReadCurrentRight(session, action.logSource, &right);
        if (hr == E_OUTOFMEMORY) return hr;
        if (FAILED(hr)) return Refuse(cls, action, action.logText, unreadableActionText);
        if (!right->Flag(action.flag)) return Refuse(cls, action, action.logText);
        return S_OK;
    });
}

HRESULT CheckSessionPermission(IExeContext* session, const ClassInfo& cls,
                               const GuardedAction& action, RightPath path,
                               const char* unreadableLogText) {
    return Guard([&]() -> HRESULT {
        ComPtr<CRight> right;
        if (ReadRight(session, path, &right)) return Refuse(cls, action, unreadableLogText);
        if (!right->Flag(action.flag)) return Refuse(cls, action, action.logText);
        return S_OK;
    });
}

bool IsAdministratorLogin(const std::string& loginName) {
    return loginName == "Admin";
}

} // namespace velmora::engine
