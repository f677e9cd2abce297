#include "RawPq.h"

#include <libpq-fe.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmora::bench::raw_pq {
namespace {

// The lock every Velmora writer takes at the start of its transaction; the baseline takes the
// same one, so that it pays for one writer at a time as the engine does.
constexpr const char* kBeginWrite = "BEGIN; SELECT pg_advisory_xact_lock(1447382093)";

struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

struct Connection {
    explicit Connection(const std::string& uri) : handle(PQconnectdb(uri.c_str())) {
        if (handle && PQstatus(handle) != CONNECTION_OK) {
            std::fprintf(stderr, "raw libpq: %s", PQerrorMessage(handle));
            PQfinish(handle);
            handle = nullptr;
        }
    }
    ~Connection() { PQfinish(handle); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    PGconn* handle = nullptr;
};

bool Succeeded(PGconn* db, const Result& result) {
    const ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE)
        return true;
    std::fprintf(stderr, "raw libpq: %s", PQerrorMessage(db));
    return false;
}

Result Run(PGconn* db, const std::string& sql, const std::vector<std::string>& values = {}) {
    std::vector<const char*> pointers;
    for (const std::string& value : values)
        pointers.push_back(value.c_str());
    return Result(PQexecParams(db, sql.c_str(), static_cast<int>(pointers.size()), nullptr,
                               pointers.data(), nullptr, nullptr, 0));
}

// Numbers come as text from the server; everything else is a text to keep.
bool IsNumber(Oid type) {
    switch (type) {
    case 20:  // bigint
    case 21:  // smallint
    case 23:  // integer
    case 700: // real
    case 701: // double precision
        return true;
    default:
        return false;
    }
}

// Reads every column into program memory, as a program does that hands a row on: texts are
// copied out, numbers read.
void ReadRow(const PGresult* rows, int row, size_t& sink) {
    const int columns = PQnfields(rows);
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        if (PQgetisnull(rows, row, c)) continue;
        if (IsNumber(PQftype(rows, c))) {
            sink += static_cast<size_t>(std::strtod(PQgetvalue(rows, row, c), nullptr));
        } else {
            texts.emplace_back(PQgetvalue(rows, row, c),
                               static_cast<size_t>(PQgetlength(rows, row, c)));
            sink += texts.back().size();
        }
    }
}

std::vector<int> Keys(PGconn* db, const std::string& sql) {
    std::vector<int> keys;
    const Result result = Run(db, sql);
    if (!Succeeded(db, result)) return keys;
    keys.reserve(static_cast<size_t>(PQntuples(result.get())));
    for (int row = 0; row < PQntuples(result.get()); ++row)
        keys.push_back(std::atoi(PQgetvalue(result.get(), row, 0)));
    return keys;
}

bool ReadByKey(PGconn* db, int key) {
    const Result row =
        Run(db, "SELECT * FROM \"tBugReport\" WHERE \"BugID\" = $1", {std::to_string(key)});
    if (!Succeeded(db, row) || PQntuples(row.get()) != 1) return false;
    size_t sink = 0;
    ReadRow(row.get(), 0, sink);
    return sink > 0;
}

// Takes the next value of one tNextID counter in a transaction of its own under the writers'
// lock; 0 when that fails.
int NextId(PGconn* db, const char* column) {
    if (!Succeeded(db, Result(PQexec(db, kBeginWrite)))) return 0;
    const std::string name = std::string("\"") + column + "\"";
    const Result next = Run(db, "UPDATE \"tNextID\" SET " + name + " = " + name +
                                    " + 1 RETURNING " + name + " - 1");
    if (!Succeeded(db, next) || PQntuples(next.get()) != 1 ||
        !Succeeded(db, Result(PQexec(db, "COMMIT"))))
        return 0;
    return std::atoi(PQgetvalue(next.get(), 0, 0));
}

// Sends the zlib stream of `file` as the hexadecimal bytea field of a COPY row that is already
// begun, a piece at a time.
bool SendDeflated(PGconn* db, const std::string& file) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> input(std::fopen(file.c_str(), "rb"),
                                                          &std::fclose);
    if (!input) return false;
    z_stream stream{};
    if (deflateInit(&stream, 6) != Z_OK) return false;
    std::unique_ptr<z_stream, int (*)(z_stream*)> ending(&stream, &deflateEnd);
    constexpr size_t kPiece = 1024 * 1024;
    std::vector<unsigned char> plain(kPiece), packed(kPiece);
    std::string hex;
    static const char kHex[] = "0123456789abcdef";
    int flush = Z_NO_FLUSH;
    do {
        stream.avail_in = static_cast<uInt>(std::fread(plain.data(), 1, kPiece, input.get()));
        stream.next_in = plain.data();
        flush = std::feof(input.get()) ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.avail_out = static_cast<uInt>(kPiece);
            stream.next_out = packed.data();
            if (deflate(&stream, flush) == Z_STREAM_ERROR) return false;
            const size_t produced = kPiece - stream.avail_out;
            hex.resize(2 * produced);
            for (size_t i = 0; i < produced; ++i) {
                hex[2 * i] = kHex[packed[i] >> 4];
                hex[2 * i + 1] = kHex[packed[i] & 15];
            }
            if (produced && PQputCopyData(db, hex.data(), static_cast<int>(hex.size())) != 1)
                return false;
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH && !std::ferror(input.get()));
    return !std::ferror(input.get());
}

// Reads the content of one attachment back in slices of 1 MB and inflates it into `restored`.
bool ReceiveInflated(PGconn* db, int attachment, const std::string& restored) {
    const std::string key = std::to_string(attachment);
    const Result size = Run(
        db, "SELECT octet_length(\"FileContent\") FROM \"tAttachment\" WHERE \"AttachmentID\" = $1",
        {key});
    if (!Succeeded(db, size) || PQntuples(size.get()) != 1) return false;
    const long total = std::atol(PQgetvalue(size.get(), 0, 0));
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> output(std::fopen(restored.c_str(), "wb"),
                                                           &std::fclose);
    if (!output) return false;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    std::unique_ptr<z_stream, int (*)(z_stream*)> ending(&stream, &inflateEnd);
    constexpr long kSlice = 1024 * 1024;
    std::vector<unsigned char> plain(4 * kSlice);
    int status = Z_OK;
    for (long offset = 0; offset < total && status != Z_STREAM_END; offset += kSlice) {
        const std::string from = std::to_string(offset + 1), length = std::to_string(kSlice);
        const char* values[] = {key.c_str(), from.c_str(), length.c_str()};
        const Result slice(
            PQexecParams(db,
                         "SELECT substring(\"FileContent\" FROM $2::integer FOR "
                         "$3::integer) FROM \"tAttachment\" WHERE \"AttachmentID\" = $1",
                         3, nullptr, values, nullptr, nullptr, 1));
        if (!Succeeded(db, slice) || PQntuples(slice.get()) != 1) return false;
        stream.next_in = reinterpret_cast<unsigned char*>(PQgetvalue(slice.get(), 0, 0));
        stream.avail_in = static_cast<uInt>(PQgetlength(slice.get(), 0, 0));
        do {
            stream.next_out = plain.data();
            stream.avail_out = static_cast<uInt>(plain.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END) return false;
            const size_t produced = plain.size() - stream.avail_out;
            if (std::fwrite(plain.data(), 1, produced, output.get()) != produced) return false;
        } while (stream.avail_out == 0 && status != Z_STREAM_END);
    }
    return status == Z_STREAM_END && std::fflush(output.get()) == 0;
}

std::string BugKeys(const std::string& more, const std::string& order) {
    return std::string("SELECT \"BugID\" FROM \"tBugReport\" WHERE ") + kBugCondition + more +
           " ORDER BY " + order;
}

} // namespace

bool OpenCountLast(const std::string& uri) {
    Connection db(uri);
    if (!db.handle) return false;
    const auto keys = Keys(db.handle, BugKeys("", "\"BugID\""));
    return !keys.empty() && ReadByKey(db.handle, keys.back());
}

bool Walk(const std::string& uri) {
    Connection db(uri);
    if (!db.handle) return false;
    const std::string sql =
        std::string("SELECT * FROM \"tBugReport\" WHERE ") + kBugCondition + " ORDER BY \"BugID\"";
    // Single-row mode streams the rows as the server sends them, as sqlite3_step does, rather
    // than holding the whole list in memory.
    if (!PQsendQuery(db.handle, sql.c_str()) || !PQsetSingleRowMode(db.handle)) return false;
    size_t sink = 0;
    bool ok = true;
    while (PGresult* raw = PQgetResult(db.handle)) {
        const Result rows(raw);
        if (!Succeeded(db.handle, rows))
            ok = false;
        else if (PQntuples(rows.get()) == 1)
            ReadRow(rows.get(), 0, sink);
    }
    return ok && sink > 0;
}

bool SortByText(const std::string& uri) {
    Connection db(uri);
    if (!db.handle) return false;
    const auto keys = Keys(db.handle, BugKeys("", "\"Description\" ASC"));
    return !keys.empty() && ReadByKey(db.handle, keys.front());
}

bool FilterTwoConditions(const std::string& uri) {
    Connection db(uri);
    if (!db.handle) return false;
    return !Keys(db.handle,
                 BugKeys(" AND (\"StatusName\" = 'Active' AND \"PriorityName\" = 'High')",
                         "\"BugID\""))
                .empty();
}

// The connection UpdateOne works on, opened by PrepareUpdate.
std::unique_ptr<Connection> updateConnection;

bool PrepareUpdate(const std::string& uri) {
    updateConnection = std::make_unique<Connection>(uri);
    // The list is open and counted, as the engine's is: its keys are read.
    return updateConnection->handle &&
           !Keys(updateConnection->handle, BugKeys("", "\"BugID\"")).empty();
}

bool UpdateOne(int id) {
    PGconn* db = updateConnection ? updateConnection->handle : nullptr;
    if (!db || !ReadByKey(db, id)) return false;
    const Result update =
        Run(db, "UPDATE \"tBugReport\" SET \"Description\" = $1 WHERE \"BugID\" = $2",
            {"changed by the benchmark", std::to_string(id)});
    return Succeeded(db, update) && std::atoi(PQcmdTuples(update.get())) == 1;
}

bool AddMany(const std::string& uri, int count) {
    Connection db(uri);
    if (!db.handle) return false;
    for (int i = 0; i < count; ++i) {
        const int id = NextId(db.handle, "NextBugID");
        if (id == 0) return false;
        const Result insert = Run(
            db.handle,
            "INSERT INTO \"tBugReport\" (\"BugID\", \"BugType\", \"Description\", \"StatusName\", "
            "\"ReportedInVersionID\") VALUES ($1, 0, $2, 'New', 0)",
            {std::to_string(id), "added by the benchmark"});
        if (!Succeeded(db.handle, insert)) return false;
    }
    return true;
}

bool AttachAndRestore(const std::string& uri, const std::string& file,
                      const std::string& restored) {
    Connection db(uri);
    if (!db.handle) return false;
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    const int id = error ? 0 : NextId(db.handle, "NextAttachmentID");
    if (id == 0) return false;
    // One COPY row whose content field is sent a piece at a time: the file is never whole in
    // memory, and the row is stored by one statement.
    const Result started(PQexec(db.handle, "COPY \"tAttachment\" (\"AttachmentID\", \"BugID\", "
                                           "\"FileName\", \"FileSize\", \"FileDate\", "
                                           "\"FileContent\") FROM STDIN"));
    if (PQresultStatus(started.get()) != PGRES_COPY_IN) return false;
    const std::string head = std::to_string(id) + "\t1\t" +
                             std::filesystem::path(file).filename().string() + "\t" +
                             std::to_string(size) + "\t46000.5\t\\\\x";
    bool sent = PQputCopyData(db.handle, head.data(), static_cast<int>(head.size())) == 1 &&
                SendDeflated(db.handle, file) && PQputCopyData(db.handle, "\n", 1) == 1;
    if (PQputCopyEnd(db.handle, sent ? nullptr : "the file could not be read") != 1) return false;
    bool stored = true;
    while (PGresult* raw = PQgetResult(db.handle))
        stored &= Succeeded(db.handle, Result(raw));
    return sent && stored && ReceiveInflated(db.handle, id, restored);
}

} // namespace velmora::bench::raw_pq
