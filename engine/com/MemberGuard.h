#pragma once
// The guard at the edge of an engine member: runs the member's body and turns what escapes it
// into the member's status. A data-access error (db::DbError) becomes the member's failure as the
// member describes it in an OnFailure; an allocation failure becomes E_OUTOFMEMORY (or the
// described failure, for the members whose contract says so); nothing else is caught.
//
// Use, in a member returning HRESULT:
//
//     return Guard(Info(), {"Get UserSet failed!", 2, "CRole::get_UserSet"}, [&]() -> HRESULT {
//         ...                  // may throw db::DbError or std::bad_alloc
//         return S_OK;
//     });
//
// The variants are data, not code:
//     {.description = d, .logCode = c, .logSource = s}      caller reads d; the error is logged
//                                                            with its composed message
//     {..., .logged = Logged::ErrorDescription}              the log gets the error's own text
//     {..., .described = Described::ByError}                 the caller reads the error's own
//                                                            text instead of d
//     {..., .outOfMemoryLog = t}                             an allocation failure is the described
//                                                            failure, logged (c, s, t)
// A body that touches no database only needs the allocation guard: `return Guard([&] {...});`.
//
// A step inside a member that logs its own data-access failure and answers false (so the member
// goes on to report its own failure) uses GuardStep(code, source, body); a step answering an
// HRESULT answers E_FAIL instead. Allocation failures pass through it to the member's guard.
#include <new>
#include <string_view>
#include <type_traits>

#include <velmora/Com.h>

#include "engine/com/ClassInfo.h"
#include "engine/db/DbError.h"

namespace velmora::engine {

// What is written to the error log for a data-access error.
enum class Logged {
    Error,            // the composed message: description, source and system message
    ErrorDescription, // the error's own description alone
};

// What the caller reads as the description of a data-access error.
enum class Described {
    ByMember, // OnFailure::description
    ByError,  // the error's own description
};

// How one member reports a failure escaping its body.
struct OnFailure {
    std::string_view description = {};
    LONG logCode = 2;
    std::string_view logSource;
    Logged logged = Logged::Error;
    Described described = Described::ByMember;
    // Not null: an allocation failure is reported as the described failure, logged with this
    // text, instead of as E_OUTOFMEMORY.
    const char* outOfMemoryLog = nullptr;
};

// Reports a caught data-access error as `on` says and returns E_FAIL (E_OUTOFMEMORY when even
// the report cannot be composed).
HRESULT ReportDbError(const ClassInfo& cls, const OnFailure& on, const db::DbError& error) noexcept;

// The status of an allocation failure as `on` says.
HRESULT ReportOutOfMemory(const ClassInfo& cls, const OnFailure& on) noexcept;

// Logs a caught data-access error under (code, source).
void LogDbError(LONG code, std::string_view source, const db::DbError& error) noexcept;

template <class Body> HRESULT Guard(const ClassInfo& cls, const OnFailure& on, Body&& body) {
    try {
        return body();
    } catch (const db::DbError& error) {
        return ReportDbError(cls, on, error);
    } catch (const std::bad_alloc&) {
        return ReportOutOfMemory(cls, on);
    }
}

// For bodies that do not reach the database.
template <class Body> HRESULT Guard(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// A step that logs its own data-access failure under (code, source) and then answers false, or
// E_FAIL for a step that answers a status.
template <class Body>
auto GuardStep(LONG code, std::string_view source, Body&& body) -> decltype(body()) {
    using Answer = decltype(body());
    static_assert(std::is_same_v<Answer, bool> || std::is_same_v<Answer, HRESULT>);
    try {
        return body();
    } catch (const db::DbError& error) {
        LogDbError(code, source, error);
        if constexpr (std::is_same_v<Answer, bool>)
            return false;
        else
            return E_FAIL;
    }
}

} // namespace velmora::engine
