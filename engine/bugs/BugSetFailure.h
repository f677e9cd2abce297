#pragma once
// How a bug set member turns a caught data-access error into its failure: the description for
// the caller, the error logged with code 2 under the member's log source, and E_FAIL.
#include <new>

#include "engine/com/Failure.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/db/DbError.h"

namespace velmora::engine {

template <class Body> HRESULT GuardCursor(const char* failure, const char* logSource, Body&& body) {
    try {
        return body();
    } catch (const db::DbError& error) {
        return FailWithError(classes::BugSet, failure, 2, logSource, error);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace velmora::engine
