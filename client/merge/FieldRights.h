#pragma once
// Which of the editor's fields a right lets its holder change. The bug set skips guarded columns
// when it writes; a merge must not even propose them.
#include "client/merge/BugFields.h"

namespace tarnwick {

// The fields the right lets the user change. Status, and the reporter, fixer and verifier (which
// follow the status), need no right of their own. A null right allows nothing.
BugFieldSet EditableFields(IRight* right);

} // namespace tarnwick
