#include "PgResult.h"

#include "../ErrorCodes.h"

namespace velmora::db {

bool Succeeded(const PGresult* result) {
    if (result == nullptr) return false;
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_PIPELINE_SYNC;
}

std::string SqlState(const PGresult* result) {
    const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state != nullptr ? state : "";
}

void FailServer(PGconn* connection, const PGresult* result) {
    const std::string state = SqlState(result);
    // A lock wait that ran out, or two writers waiting on each other: the same as a database
    // file another client keeps locked.
    if (state == "55P03" || state == "40P01" || state == "57014")
        Fail(kErrFail, "database is locked");
    const char* primary =
        result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string text = primary != nullptr ? primary : "";
    if (text.empty()) {
        text = connection != nullptr ? PQerrorMessage(connection) : "the server did not answer";
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        if (text.empty()) text = "the server did not answer";
    }
    // Syntax errors and unknown names (class 42) are faults in the statement text.
    Fail(state.starts_with("42") ? kErrCommand : kErrFail, text);
}

} // namespace velmora::db
