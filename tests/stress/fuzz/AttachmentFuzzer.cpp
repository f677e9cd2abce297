// Restoring an attachment from whatever bytes tAttachment.FileContent holds (the input):
// - CUnzipper extracts them into a folder of the private directory, keeping folders and ignoring
//   them: it succeeds or fails cleanly, nothing appears outside its output folder, and with
//   folders ignored only plain files appear, directly in it;
// - File.GetFile restores the row through the database to a target path: S_OK leaves a regular
//   file there holding what the extraction wrote for the stored name, E_FAIL leaves nothing;
//   either way every temporary folder the engine made is gone again.
#include <sqlite3.h>

#include <cstdint>
#include <set>
#include <string>

#include <velmora/ComSupport.h>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "engine/bugs/AttachFile.h"
#include "engine/bugs/Unzipper.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/ConnectionString.h"

namespace {

namespace fs = std::filesystem;
namespace fuzz = velmora::fuzz;
namespace engine = velmora::engine;

constexpr const char* kStoredName = "notes.txt";

// Where the inputs go, made once per process.
struct Workspace {
    Workspace() {
        const fs::path root = fuzz::Scratch::Get().Root();
        database = root / "attachments.mdb";
        fuzz::MakeSampleDatabase(database);
        velmora::db::SetProcessConnectionString(
            velmora::db::MakeConnectionString(database.string()));
        if (sqlite3_open_v2(database.c_str(), &writer, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fuzz::FuzzFailure(__FILE__, __LINE__, "cannot open the sample database");
        folder = root / "attach";
        archive = folder / "stored.zip";
        keptFolders = folder / "kept";
        flat = folder / "flat";
        target = folder / "restored";
    }
    ~Workspace() { sqlite3_close(writer); }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    fs::path database;
    fs::path folder;  // everything an input writes
    fs::path archive; // the input as a file
    fs::path keptFolders;
    fs::path flat;
    fs::path target;
    sqlite3* writer = nullptr; // the harness's own handle, to store the input
};

const Workspace& Work() {
    static const Workspace work;
    return work;
}

void StoreContent(std::string_view bytes) {
    sqlite3_stmt* statement = nullptr;
    const bool stored =
        sqlite3_prepare_v2(Work().writer,
                           "UPDATE tAttachment SET FileContent = ?1 WHERE AttachmentID = 1", -1,
                           &statement, nullptr) == SQLITE_OK &&
        sqlite3_bind_blob(statement, 1, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    FUZZ_CHECK(stored, "cannot store the input");
}

bool Extract(const fs::path& out, bool ignoreFolders) {
    engine::CUnzipper unzipper;
    const bool extracted = unzipper.OpenZip(Work().archive.string()) &&
                           unzipper.SetOutputFolder(out.string()) &&
                           unzipper.UnzipAll(ignoreFolders);
    FUZZ_CHECK(extracted || !unzipper.LastError().empty(), "a failure without a reason");
    if (unzipper.IsOpen()) unzipper.CloseZip();
    return extracted;
}

// Everything in the private directory is what the harness put there, or lies inside `out`: an
// entry that climbs out of the output folder by any number of levels is seen.
void CheckOnlyInside(const fs::path& out) {
    const fs::path& root = fuzz::Scratch::Get().Root();
    const std::string prefix = fs::relative(out, root).string() + "/";
    const std::string folder = fs::relative(Work().folder, root).string() + "/";
    const std::string database = Work().database.filename().string();
    const std::set<std::string> known = {database,
                                         database + "-journal",
                                         "log/",
                                         "log/Err.log",
                                         "tmp/",
                                         folder,
                                         fs::relative(Work().archive, root).string()};
    for (const std::string& path : fuzz::Listing(root)) {
        if (known.contains(path)) continue;
        FUZZ_CHECK(path.compare(0, prefix.size(), prefix) == 0,
                   "an entry was written outside the output folder: " + path);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Workspace& work = Work();
    const std::string_view bytes = fuzz::AsText(data, size);
    fs::create_directories(work.folder);
    fuzz::WriteBytes(work.archive, bytes);

    Extract(work.keptFolders, false);
    CheckOnlyInside(work.keptFolders);
    fs::remove_all(work.keptFolders);

    const bool flatExtracted = Extract(work.flat, true);
    CheckOnlyInside(work.flat);
    for (const std::string& path : fuzz::Listing(work.flat))
        FUZZ_CHECK(path.find('/') == std::string::npos && fs::is_regular_file(work.flat / path),
                   "extracting without folders made " + path);

    StoreContent(bytes);
    auto file = engine::CreateObject<engine::CAttachFile>();
    file->SetID(1);
    const HRESULT hr = file->GetFile(velmora::com::Bstr(work.target.string()).Get());
    FUZZ_CHECK(hr == S_OK || hr == E_FAIL, "GetFile answered " + std::to_string(hr));
    if (hr == S_OK) {
        FUZZ_CHECK(flatExtracted, "GetFile restored an archive the unzipper refuses");
        FUZZ_CHECK(fs::is_regular_file(work.target), "GetFile succeeded without a file");
        FUZZ_CHECK(fuzz::ReadBytes(work.target) == fuzz::ReadBytes(work.flat / kStoredName),
                   "GetFile restored other bytes than the archive holds");
    } else {
        FUZZ_CHECK(!fs::exists(work.target), "a failed GetFile left a file behind");
    }
    FUZZ_CHECK(fuzz::Listing(fuzz::Scratch::Get().EngineTemp()).empty(),
               "the engine left temporary files behind");

    fs::remove_all(work.folder);
    SetErrorInfo(0, nullptr);
    fuzz::Scratch::Get().DiscardErrorLog();
    return 0;
}
