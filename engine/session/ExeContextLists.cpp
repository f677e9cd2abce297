// The session's lookup lists: each call reads its table afresh into a new list.
#include <string>
#include <vector>

#include "engine/admin/LookupLists.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

struct ListQuery {
    std::string statement;
    const char* failure;     // the caller's description on failure
    const char* source;      // log source
    bool logDescriptionOnly; // a data-access error is logged with its description alone
    std::vector<db::Value> parameters = {}; // one for each `?` of the statement
};

// Adds the first column of every row; Add keeps the first of equal texts.
template <class List, class Interface>
HRESULT ReadList(db::Connection& connection, const ListQuery& query, Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const OnFailure onFailure = {query.failure, 2, query.source,
                                 query.logDescriptionOnly ? Logged::ErrorDescription
                                                          : Logged::Error};
    return Guard(CExeContext::Info(), onFailure, [&] {
        auto list = CreateObject<List>();
        db::Recordset rows;
        rows.Open(query.statement, query.parameters, connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext())
            list->AddEntry(VariantToString(rows.GetValue(0)));
        return ReturnObject<Interface>(list, out);
    });
}

} // namespace

HRESULT CExeContext::get_BugStatus(IBugStatus** pVal) {
    return ReadList<CBugStatus>(
        connection_,
        {"SELECT statusname FROM tAvailableStatus WHERE RoleID = ?",
         "Get current status failed", "CExeContext::get_BugStatus", true,
         {db::Value::Int(curRoleID_)}},
        pVal);
}

HRESULT CExeContext::get_AllBugStatus(IBugStatus** pVal) {
    return ReadList<CBugStatus>(connection_,
                                {"SELECT statusname FROM tStatus", "Get all status failed",
                                 "CExeContext::get_AllBugStatus", false},
                                pVal);
}

HRESULT CExeContext::get_BugSeverity(IBugSeverity** pVal) {
    return ReadList<CBugSeverity>(
        connection_,
        {"SELECT * FROM tSeverity", "Get bug severity failed!", "get_BugSeverity", false}, pVal);
}

HRESULT CExeContext::get_BugReproductive(IBugReproductive** pVal) {
    return ReadList<CBugReproductive>(connection_,
                                      {"SELECT * FROM tReproductive",
                                       "Get bug reproductive failed!", "get_BugReproductive",
                                       false},
                                      pVal);
}

HRESULT CExeContext::get_BugPriority(IBugPriority** pVal) {
    return ReadList<CBugPriority>(
        connection_,
        {"SELECT * FROM tPriority", "Get bug priority failed!", "get_BugPriority", false}, pVal);
}

} // namespace velmora::engine
