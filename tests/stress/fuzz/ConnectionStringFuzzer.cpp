// Connection strings: the data source a text names, and opening it.
// - DataSourcePath gives a non-empty part of the text or refuses with DbError;
// - the path MakeConnectionString wraps is exactly the path DataSourcePath finds again, whatever
//   it holds (';', '=', the key words themselves);
// - a path naming a file of the private directory opens (a copy of the sample database) or is
//   refused with DbError, and a statement runs on what opened.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/DataSourcePath.h"
#include "engine/db/Database.h"

namespace {

namespace db = velmora::db;
namespace fuzz = velmora::fuzz;

// The private folder the opened paths are looked up in, holding the sample database as
// "team.mdb".
const std::filesystem::path& DatabaseFolder() {
    static const std::filesystem::path folder = [] {
        const auto path = fuzz::Scratch::Get().Root() / "databases";
        std::filesystem::create_directory(path);
        fuzz::MakeSampleDatabase(path / "team.mdb");
        return path;
    }();
    return folder;
}

// Opens the file name (no folders) inside the database folder and reads from it.
void OpenInsideDatabaseFolder(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return;
    const std::string connectionString =
        db::MakeConnectionString((DatabaseFolder() / name).string());
    try {
        db::Connection connection;
        connection.Open(connectionString);
        FUZZ_CHECK(connection.IsOpen(), "Open returned without opening");
        db::Recordset rows;
        rows.Open("SELECT COUNT(*) FROM tBugReport", connection, db::CursorType::Static,
                  db::LockType::ReadOnly);
        FUZZ_CHECK(rows.GetValue(0).asInt() == 5, "the sample database lost its bugs");
    } catch (const db::DbError&) {
        // Not a database, or no such file: refused cleanly.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(fuzz::AsText(data, size));
    try {
        const std::string path = db::DataSourcePath(text);
        FUZZ_CHECK(!path.empty(), "an empty data source was accepted");
        FUZZ_CHECK(text.find(path) != std::string::npos, "the data source is not part of the text");
        OpenInsideDatabaseFolder(path);
    } catch (const db::DbError&) {
        // A text that names no data source.
    }
    if (!text.empty()) {
        const std::string wrapped = db::MakeConnectionString(text);
        FUZZ_CHECK(db::DataSourcePath(wrapped) == text,
                   "the data source of " + wrapped + " is not the path it was made of");
    }
    fuzz::Scratch::Get().DiscardErrorLog();
    return 0;
}
