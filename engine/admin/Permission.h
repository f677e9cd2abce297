#pragma once
// The permission check every guarded operation runs before it touches the database: the
// session's current role, that role's right read afresh from the database, and the one flag the
// operation names. A refusal is an ordinary failure with the text "You have no right to %s,
// please contact your manager!" filled with the operation's action text.
#include <string>

#include <velmora/ComSupport.h>

#include "engine/admin/Right.h"
#include "engine/com/ClassInfo.h"

namespace velmora::engine {

// What one guarded operation checks and how a refusal is reported.
struct GuardedAction {
    RightFlag flag;
    const char* actionText; // e.g. "Add bug"
    const char* logSource;  // the operation's own log source, e.g. "CBugSet::Add"
    const char* logText;    // the extra log line (code 3) on refusal, or null for none
};

// "You have no right to <action>, please contact your manager!"
std::string NoRightMessage(const std::string& actionText);

// Reads the current right through the session's current role. On failure logs the reason under
// logSource ("ExeContext is NULL", "Get role failed", "role is NULL" with code 0; "get right
// failed" with code 3) and returns E_FAIL without setting the caller's description.
HRESULT ReadCurrentRight(IExeContext* session, const char* logSource, com::ComPtr<CRight>* right);

// The whole check: S_OK when the flag is set; otherwise sets the caller's description to
// NoRightMessage(actionText) with cls as the source, writes the extra log line when the action
// has one, and returns E_FAIL. A right that cannot be read is refused the same way, after
// ReadCurrentRight has logged the reason.
HRESULT CheckPermission(IExeContext* session, const ClassInfo& cls, const GuardedAction& action);
// The same, for an operation whose refusal names another action when the right cannot be read
// at all than when its flag is 0 (the product set's Update: "edit product" / "update product").
HRESULT CheckPermission(IExeContext* session, const ClassInfo& cls, const GuardedAction& action,
                        const char* unreadableActionText);

// How the session's own guarded operations reach the current right: through the current role
// and its right (OpenBugSet, AssignRolesToApp, ...) or through the session's CurRight
// (AssignUserClassification).
enum class RightPath { ThroughCurrentRole, CurrentRight };

// The check as the session runs it for its own operations. The reason a right cannot be read is
// not logged; instead unreadableLogText is logged (code 3) under action.logSource. A flag of 0
// logs action.logText (code 3); a null text logs nothing. The caller's description is
// NoRightMessage(actionText) in both cases.
HRESULT CheckSessionPermission(IExeContext* session, const ClassInfo& cls,
                               const GuardedAction& action, RightPath path,
                               const char* unreadableLogText);

// Administrator standing: the login name is exactly "Admin", letter case included. It gives the
// session's Admin object and lets Synchronize run without the EditProduct flag.
bool IsAdministratorLogin(const std::string& loginName);

} // namespace velmora::engine
