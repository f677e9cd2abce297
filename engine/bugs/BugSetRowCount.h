#pragma once
// Counting the rows of a cursor that cannot report its record count (no bookmarks or approximate
// positioning): walk from the first row to the end, then go back to where the cursor was.
#include "engine/db/Database.h"

namespace velmora::engine {

// The number of rows; the cursor is left on the row it was on, at the end when it was at the
// end, and on the first row when it was before the first row. Throws db::DbError.
db::LONG CountRowsKeepingPosition(db::Recordset& rows);

} // namespace velmora::engine
