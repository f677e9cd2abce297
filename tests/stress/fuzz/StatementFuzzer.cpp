// Statement texts and row criteria through the data layer, on a copy of the sample database that
// every input starts from. The first byte picks the way in, the rest is the text:
//   '0' Connection::Execute;
//   '1' Recordset::Open static and read-only, then a walk over every row and field;
//   '2' Recordset::Open keyset and optimistic, a walk, and edits that write back what was read
//       (the statement's shape decides which table and columns an edit writes);
//   '3' Recordset::Open forward-only, where moving back must be refused;
//   '4' Find and SetFilter with the text as criterion on a keyed set over tBugReport;
//   '5' the same on a set that is read whole (a join);
//   '6' the date literal translation alone.
// A DbError is a clean refusal; anything else escaping, a crash or a sanitizer report is a
// fault. A text holding a NUL byte never runs: SQLite would stop reading at the NUL, so
// "DELETE FROM t\0 WHERE ..." would run without its condition. A criterion never changes the
// database.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "SqliteBudget.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/SqlDialect.h"

namespace {

namespace db = velmora::db;
namespace fuzz = velmora::fuzz;

constexpr int kMostRowsWalked = 64;

enum class Way {
    Execute,
    OpenStatic,
    OpenKeyset,
    OpenForwardOnly,
    CriterionKeyed,
    CriterionWhole,
    DateLiterals
};
constexpr int kWays = 7;

struct SampleDatabase {
    std::filesystem::path path;
    std::string pristine; // the file's bytes before any input ran
    std::string connectionString;
};

const SampleDatabase& Sample() {
    static const SampleDatabase sample = [] {
        fuzz::InstallSqliteBudget();
        SampleDatabase made;
        made.path = fuzz::Scratch::Get().Root() / "statements.mdb";
        fuzz::MakeSampleDatabase(made.path);
        made.pristine = fuzz::ReadBytes(made.path);
        made.connectionString = db::MakeConnectionString(made.path.string());
        return made;
    }();
    return sample;
}

// Puts the sample database back as it was, with no journal of a half-done change beside it.
void RestoreSample() {
    const SampleDatabase& sample = Sample();
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        std::error_code ignored;
        std::filesystem::remove(sample.path.string() + suffix, ignored);
    }
    fuzz::WriteBytes(sample.path, sample.pristine);
}

// Reads every field of up to kMostRowsWalked rows, forward.
void Walk(db::Recordset& rows) {
    if (!rows.IsOpen()) return;
    const db::LONG fields = rows.FieldCount();
    for (int row = 0; row < kMostRowsWalked && !rows.IsEOF(); ++row) {
        for (db::LONG field = 0; field < fields; ++field) {
            (void)rows.GetValue(field).toText();
            (void)rows.ActualSize(rows.FieldName(field));
        }
        rows.MoveNext();
    }
    (void)rows.RecordCount();
}

void WalkBack(db::Recordset& rows) {
    if (!rows.IsOpen()) return;
    rows.MoveLast();
    for (int row = 0; row < kMostRowsWalked && !rows.IsBOF(); ++row)
        rows.MovePrevious();
    if (rows.RecordCount() > 0) {
        rows.SetAbsolutePosition(rows.RecordCount());
        FUZZ_CHECK(rows.AbsolutePosition() == rows.RecordCount(), "the last row is not last");
    }
}

// Writes back the first row's values as they were read, adds a row and drops it again, and
// deletes the last row.
void Edit(db::Recordset& rows) {
    if (!rows.IsOpen() || rows.IsEOF()) return;
    rows.MoveFirst();
    for (db::LONG field = 0; field < rows.FieldCount(); ++field)
        rows.SetValue(field, rows.GetValue(field));
    rows.Update();
    rows.AddNew();
    rows.CancelUpdate();
    rows.MoveLast();
    if (!rows.IsEOF()) rows.Delete();
    rows.Requery();
}

void OpenAndWalk(Way way, const std::string& sql) {
    db::Connection connection;
    connection.Open(Sample().connectionString);
    db::Recordset rows;
    switch (way) {
    case Way::OpenStatic:
        rows.Open(sql, connection, db::CursorType::Static, db::LockType::ReadOnly);
        Walk(rows);
        WalkBack(rows);
        break;
    case Way::OpenKeyset:
        rows.SetPageSize(2);
        rows.Open(sql, connection, db::CursorType::Keyset, db::LockType::Optimistic);
        Walk(rows);
        Edit(rows);
        break;
    default:
        rows.Open(sql, connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        Walk(rows);
        if (rows.IsOpen()) {
            bool refused = false;
            try {
                rows.MovePrevious();
            } catch (const db::DbError&) {
                refused = true;
            }
            FUZZ_CHECK(refused, "a forward-only set moved back");
        }
        break;
    }
}

void FindAndFilter(Way way, const std::string& criterion) {
    db::Connection connection;
    connection.Open(Sample().connectionString);
    db::Recordset rows;
    rows.Open(way == Way::CriterionKeyed
                  ? "SELECT * FROM tBugReport ORDER BY BugID"
                  : "SELECT b.BugID, b.StatusName, b.Description, b.ReportedDate, a.FileName "
                    "FROM tBugReport b LEFT JOIN tAttachment a ON a.BugID = b.BugID",
              connection, db::CursorType::Dynamic, db::LockType::ReadOnly);
    try {
        rows.Find(criterion);
    } catch (const db::DbError&) {
    }
    try {
        rows.SetFilter(criterion);
        FUZZ_CHECK(rows.Filter() == criterion, "the filter reads back differently");
        Walk(rows);
        rows.Requery();
    } catch (const db::DbError&) {
    }
    rows.SetFilter("");
    FUZZ_CHECK(rows.RecordCount() >= 5, "clearing the filter did not bring every row back");
}

void TranslateDates(const std::string& text) {
    const auto date = db::ParseDateLiteral(text);
    if (date) {
        FUZZ_CHECK(*date >= -657434.0 && *date < 2958466.0, "a date outside the years 100 to 9999");
        // The number written for a date reads back as exactly that date.
        FUZZ_CHECK(std::stod(db::FormatReal(*date)) == *date, "a date number does not read back");
    }
    try {
        (void)db::TranslateDateLiterals(text);
    } catch (const db::DbError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Sample();
    fuzz::StartSqliteBudget();
    const Way way = static_cast<Way>(static_cast<uint8_t>(data[0] - '0') % kWays);
    const std::string text(fuzz::AsText(data + 1, size - 1));
    const bool holdsNul = text.find('\0') != std::string::npos;
    bool ran = false;
    try {
        switch (way) {
        case Way::Execute: {
            db::Connection connection;
            connection.Open(Sample().connectionString);
            connection.Execute(text);
            break;
        }
        case Way::OpenStatic:
        case Way::OpenKeyset:
        case Way::OpenForwardOnly:
            OpenAndWalk(way, text);
            break;
        case Way::CriterionKeyed:
        case Way::CriterionWhole:
            FindAndFilter(way, text);
            break;
        case Way::DateLiterals:
            TranslateDates(text);
            break;
        }
        ran = true;
    } catch (const db::DbError&) {
        // Refused cleanly.
    }
    if (holdsNul && way <= Way::OpenForwardOnly)
        FUZZ_CHECK(!ran, "a statement text holding a NUL byte was run");

    if (fuzz::ReadBytes(Sample().path) != Sample().pristine) {
        FUZZ_CHECK(way <= Way::OpenForwardOnly, "a criterion changed the database");
        RestoreSample();
    }
    fuzz::Scratch::Get().DiscardErrorLog();
    return 0;
}
