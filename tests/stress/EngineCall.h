#pragma once
// What an engine member reported: success, or failure with the description it left for its
// caller.
#include <string>

#include <velmora/Com.h>

namespace velmora::stress {

struct Outcome {
    bool ok = false;
    std::string message; // the failure's description; empty on success
};

// Clears the thread's error information, so that a failure without a description of its own
// does not show an older one. Call before the member whose outcome is wanted.
void ForgetLastError();

// The outcome of a member that returned hr.
Outcome OutcomeOf(HRESULT hr);

// A failure of the program's own making (a step that cannot go on), with its text.
Outcome Refused(const std::string& message);

} // namespace velmora::stress
