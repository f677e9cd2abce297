#include "engine/bugs/BugSetRowCount.h"

namespace velmora::engine {

db::LONG CountRowsKeepingPosition(db::Recordset& rows) {
    const bool wasAtEnd = rows.IsEOF();
    const db::LONG position = rows.AbsolutePosition(); // 1-based, or below 1 off the rows
    db::LONG count = 0;
    rows.MoveFirst();
    while (!rows.IsEOF()) {
        ++count;
        rows.MoveNext();
    }
    if (wasAtEnd || count == 0) return count; // walking ended where the cursor was
    // Only forward moves, so this works on any cursor.
    rows.MoveFirst();
    for (db::LONG row = 1; row < position; ++row)
        rows.MoveNext();
    return count;
}

} // namespace velmora::engine
