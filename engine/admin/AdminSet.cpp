#include "engine/admin/AdminSet.h"

namespace velmora::engine {

bool DeleteEachRow(db::Recordset& rows, bool firstOnly) {
    const bool any = !rows.IsEOF();
    while (!rows.IsEOF()) {
        rows.Delete();
        if (firstOnly) break;
        rows.MoveNext();
    }
    return any;
}

bool DeleteRows(db::Connection& connection, const std::string& statement,
                std::vector<db::Value> parameters, bool firstOnly) {
    db::Recordset rows;
    rows.Open(statement, std::move(parameters), connection, db::CursorType::Keyset,
              db::LockType::Optimistic);
    return DeleteEachRow(rows, firstOnly);
}

} // namespace velmora::engine
