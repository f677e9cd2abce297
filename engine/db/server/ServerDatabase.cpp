#include "ServerDatabase.h"

#include "../DataSource.h"
#include "../ErrorCodes.h"
#include "../SelectShape.h"
#include "../SqlTokenizer.h"
#include "ServerParameters.h"
#include "ServerStores.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace velmora::db {
namespace {

// The advisory lock every Velmora client takes before writing ("VELM" in ASCII).
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(1447382093)";
// How long a writer waits for another's transaction, as long as a file's busy wait.
constexpr const char* kSessionSettings =
    "SET lock_timeout = '10s'; SET client_encoding = 'UTF8'; SET extra_float_digits = 1; "
    "SET standard_conforming_strings = on; SET client_min_messages = error";
// Long binaries are written through this table of the session: a piece at a time by COPY, so
// that no whole file is ever held in memory here.
constexpr const char* kPieceTable =
    "CREATE TEMPORARY TABLE IF NOT EXISTS velmora_piece (slot integer, content bytea)";

std::mutex& RegistryMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::map<std::string, std::weak_ptr<ServerDatabase>>& Registry() {
    static auto* registry = new std::map<std::string, std::weak_ptr<ServerDatabase>>;
    return *registry;
}

PgConnection Connect(const std::string& uri) {
    PgConnection connection(PQconnectdb(uri.c_str()));
    if (!connection)
        Fail(kErrFail, "Cannot open database '" + MaskedDataSource(uri) + "': out of memory");
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        std::string reason = PQerrorMessage(connection.get());
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' '))
            reason.pop_back();
        // libpq's message names the server and the user but never the password; the data source
        // is shown masked all the same.
        Fail(kErrFail, "Cannot open database '" + MaskedDataSource(uri) +
                           "': " + WithoutPassword(reason, uri));
    }
    for (const char* sql : {kSessionSettings, kPieceTable}) {
        PgResult result(PQexec(connection.get(), sql));
        if (!Succeeded(result.get())) FailServer(connection.get(), result.get());
    }
    return connection;
}

} // namespace

std::shared_ptr<ServerDatabase> ServerDatabase::Acquire(const std::string& uri) {
    std::lock_guard lock(RegistryMutex());
    auto& registry = Registry();
    if (const auto it = registry.find(uri); it != registry.end()) {
        if (auto existing = it->second.lock()) return existing;
    }
    std::shared_ptr<ServerDatabase> database(new ServerDatabase(Connect(uri), uri));
    registry[uri] = database;
    return database;
}

ServerDatabase::ServerDatabase(PgConnection connection, std::string uri)
    : connection_(std::move(connection)), uri_(std::move(uri)) {
    catalog_.Load(connection_.get());
}

ServerDatabase::~ServerDatabase() {
    // Closing the connection rolls back whatever is still open.
    std::lock_guard lock(RegistryMutex());
    auto& registry = Registry();
    const auto it = registry.find(uri_);
    if (it != registry.end() && it->second.expired()) registry.erase(it);
}

void ServerDatabase::Command(const std::string& sql) {
    PgResult result(PQexec(connection_.get(), sql.c_str()));
    if (!Succeeded(result.get())) FailServer(connection_.get(), result.get());
}

std::vector<PgResult> ServerDatabase::Pipeline(const std::vector<std::string>& statements,
                                               size_t valuesOf, const std::vector<Value>& values) {
    PGconn* connection = connection_.get();
    std::vector<PgResult> results(statements.size());
    if (PQenterPipelineMode(connection) != 1) FailServer(connection, nullptr);
    const ServerParameters parameters(values);
    bool sent = true;
    for (size_t i = 0; i < statements.size() && sent; ++i) {
        const bool own = i == valuesOf;
        sent = PQsendQueryParams(connection, statements[i].c_str(), own ? parameters.Count() : 0,
                                 own ? parameters.Types() : nullptr,
                                 own ? parameters.Values() : nullptr,
                                 own ? parameters.Lengths() : nullptr,
                                 own ? parameters.Formats() : nullptr, 0) == 1;
    }
    if (sent) sent = PQpipelineSync(connection) == 1;
    if (!sent) {
        // The connection is broken: what was sent is dropped with it.
        PQexitPipelineMode(connection);
        FailServer(connection, nullptr);
    }
    for (size_t i = 0; i < statements.size(); ++i) {
        while (PGresult* result = PQgetResult(connection)) {
            if (!results[i]) {
                results[i].reset(result);
            } else {
                PQclear(result);
            }
        }
    }
    // The end of the round trip.
    while (PGresult* result = PQgetResult(connection)) {
        const bool synced = PQresultStatus(result) == PGRES_PIPELINE_SYNC;
        PQclear(result);
        if (synced) break;
    }
    PQexitPipelineMode(connection);
    return results;
}

void ServerDatabase::DropLevelsIfRolledBack() {
    // A lost connection ends the transaction on the server.
    if (!levels_.empty() && PQtransactionStatus(connection_.get()) == PQTRANS_IDLE) levels_.clear();
}

int64_t ServerDatabase::BeginLevel() {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    const int64_t id = nextLevel_++;
    if (levels_.empty()) {
        std::vector<PgResult> results = Pipeline({"BEGIN", kWriteLock}, 2, {});
        for (const PgResult& result : results) {
            if (Succeeded(result.get())) continue;
            PgResult ignored(PQexec(connection_.get(), "ROLLBACK"));
            FailServer(connection_.get(), result.get());
        }
    } else {
        Command("SAVEPOINT velmora_level_" + std::to_string(id));
    }
    levels_.push_back({id, false});
    return id;
}

void ServerDatabase::EndFinishedLevels() {
    while (!levels_.empty() && levels_.back().ended) {
        const Level& top = levels_.back();
        try {
            Command(levels_.size() == 1
                        ? std::string("COMMIT")
                        : "RELEASE SAVEPOINT velmora_level_" + std::to_string(top.id));
        } catch (const DbError&) {
            levels_.back().ended = false;
            throw;
        }
        levels_.pop_back();
    }
}

void ServerDatabase::CommitLevel(int64_t level) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    for (Level& open : levels_) {
        if (open.id == level) {
            open.ended = true;
            EndFinishedLevels();
            return;
        }
    }
    Fail(kErrNoTransaction, "The transaction is no longer active; its work was rolled back.");
}

void ServerDatabase::RollbackLevel(int64_t level) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    for (size_t i = 0; i < levels_.size(); ++i) {
        if (levels_[i].id != level) continue;
        if (i == 0) {
            levels_.clear();
            Command("ROLLBACK");
        } else {
            const std::string name = "velmora_level_" + std::to_string(level);
            Command("ROLLBACK TO SAVEPOINT " + name);
            Command("RELEASE SAVEPOINT " + name);
            levels_.resize(i);
        }
        EndFinishedLevels();
        return;
    }
}

bool ServerDatabase::HasLevel(int64_t level) const {
    std::lock_guard lock(mutex_);
    if (!levels_.empty() && PQtransactionStatus(connection_.get()) == PQTRANS_IDLE) return false;
    for (const Level& open : levels_) {
        if (open.id == level) return true;
    }
    return false;
}

PgResult ServerDatabase::RunUnprotected(const std::string& serverSql,
                                        const std::vector<Value>& values) {
    const ServerParameters parameters(values);
    PgResult result(PQexecParams(connection_.get(), serverSql.c_str(), parameters.Count(),
                                 parameters.Types(), parameters.Values(), parameters.Lengths(),
                                 parameters.Formats(), 0));
    if (!Succeeded(result.get())) FailServer(connection_.get(), result.get());
    return result;
}

template <typename Work> PgResult ServerDatabase::Protected(Work work) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    if (levels_.empty()) return work();
    // A refused statement would leave the whole transaction refusing everything: each one runs
    // under a savepoint that is undone when it fails.
    const std::string savepoint = "velmora_statement_" + std::to_string(nextSavepoint_++);
    Command("SAVEPOINT " + savepoint);
    try {
        PgResult result = work();
        Command("RELEASE SAVEPOINT " + savepoint);
        return result;
    } catch (const DbError&) {
        if (PQtransactionStatus(connection_.get()) == PQTRANS_INERROR) {
            PgResult undo(
                PQexec(connection_.get(), ("ROLLBACK TO SAVEPOINT " + savepoint).c_str()));
            PgResult release(PQexec(connection_.get(), ("RELEASE SAVEPOINT " + savepoint).c_str()));
        }
        throw;
    }
}

PgResult ServerDatabase::Run(const std::string& serverSql, const std::vector<Value>& values) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    if (levels_.empty()) return RunUnprotected(serverSql, values);
    // The statement and its savepoint travel in one round trip.
    const std::string savepoint = "velmora_statement";
    std::vector<PgResult> results = Pipeline(
        {"SAVEPOINT " + savepoint, serverSql, "RELEASE SAVEPOINT " + savepoint}, 1, values);
    if (Succeeded(results[0].get()) && Succeeded(results[1].get()) && Succeeded(results[2].get()))
        return std::move(results[1]);
    const PGresult* failed = !Succeeded(results[0].get()) ? results[0].get() : results[1].get();
    if (Succeeded(results[0].get())) {
        PgResult undo(PQexec(connection_.get(), ("ROLLBACK TO SAVEPOINT " + savepoint).c_str()));
        PgResult release(PQexec(connection_.get(), ("RELEASE SAVEPOINT " + savepoint).c_str()));
    }
    FailServer(connection_.get(), failed);
}

PgResult ServerDatabase::Describe(const std::string& serverSql) {
    return Protected([&] {
        PgResult prepared(PQprepare(connection_.get(), "", serverSql.c_str(), 0, nullptr));
        if (!Succeeded(prepared.get())) FailServer(connection_.get(), prepared.get());
        PgResult described(PQdescribePrepared(connection_.get(), ""));
        if (!Succeeded(described.get())) FailServer(connection_.get(), described.get());
        return described;
    });
}

void ServerDatabase::ClearPieces() {
    std::lock_guard lock(mutex_);
    Run("DELETE FROM velmora_piece", {});
}

void ServerDatabase::StorePiece(int slot, const ChunkSpool& spool) {
    std::lock_guard lock(mutex_);
    Run("DELETE FROM velmora_piece WHERE slot = " + std::to_string(slot), {});
    Protected([&] {
        PGconn* connection = connection_.get();
        PgResult started(PQexec(connection, "COPY velmora_piece (slot, content) FROM STDIN"));
        if (PQresultStatus(started.get()) != PGRES_COPY_IN) FailServer(connection, started.get());
        // COPY's text form: the slot, a tab, the bytes in bytea's hex form (its backslash
        // doubled), the end of the line.
        static const char kHex[] = "0123456789abcdef";
        std::string line = std::to_string(slot) + "\t\\\\x";
        bool sent = PQputCopyData(connection, line.data(), static_cast<int>(line.size())) == 1;
        std::vector<uint8_t> piece(std::min<int64_t>(spool.Size(), 1024 * 1024));
        std::string hex;
        for (int64_t offset = 0; sent && offset < spool.Size();) {
            const size_t got = spool.ReadAt(offset, piece.data(), piece.size());
            if (got == 0) break;
            hex.resize(got * 2);
            for (size_t i = 0; i < got; ++i) {
                hex[2 * i] = kHex[piece[i] >> 4];
                hex[2 * i + 1] = kHex[piece[i] & 15];
            }
            sent = PQputCopyData(connection, hex.data(), static_cast<int>(hex.size())) == 1;
            offset += static_cast<int64_t>(got);
        }
        if (sent) sent = PQputCopyData(connection, "\n", 1) == 1;
        PQputCopyEnd(connection, sent ? nullptr : "the content could not be sent");
        PgResult finished(PQgetResult(connection));
        // Drain what is left of the command.
        while (PGresult* more = PQgetResult(connection))
            PQclear(more);
        if (!Succeeded(finished.get())) FailServer(connection, finished.get());
        return finished;
    });
}

PgResult ServerDatabase::RunEngineSql(const std::string& sql, const std::vector<Value>& values,
                                      bool exact) {
    std::lock_guard lock(mutex_);
    const ServerStatement statement =
        TranslateForServer(sql, catalog_.Names(), values.size(), exact, &catalog_.Numbers());
    std::vector<Value> ordered;
    ordered.reserve(statement.parameterOrder.size());
    for (const size_t index : statement.parameterOrder)
        ordered.push_back(values[index]);
    return Run(statement.text, ordered);
}

bool ServerDatabase::IsReadOnly(const std::string& sql) {
    size_t begin = 0;
    while (begin < sql.size() &&
           (std::isspace(static_cast<unsigned char>(sql[begin])) || sql[begin] == '('))
        ++begin;
    std::string word;
    while (begin < sql.size() && std::isalpha(static_cast<unsigned char>(sql[begin])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[begin++])));
    return word == "SELECT" || word == "VALUES" || word == "SHOW" || word == "WITH";
}

LONG ServerDatabase::Execute(const std::string& sql, const std::vector<Value>& parameters) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    const bool read = IsReadOnly(sql);
    // A write outside a transaction waits for the write lock like any other writer.
    const bool ownLevel = !read && levels_.empty();
    const int64_t level = ownLevel ? BeginLevel() : 0;
    try {
        PgResult result = RunEngineSql(sql, parameters, true);
        if (ownLevel) CommitLevel(level);
        const std::string upper = LowerName(sql.substr(0, 12));
        // New tables and columns join the names that statements are translated with.
        if (upper.starts_with("create") || upper.starts_with("alter") ||
            upper.starts_with("drop")) {
            catalog_.Load(connection_.get());
            plans_.clear();
        }
        if (read) return 0;
        const char* changed = PQcmdTuples(result.get());
        return changed != nullptr && *changed != '\0' ? static_cast<LONG>(std::atol(changed)) : 0;
    } catch (const DbError&) {
        if (ownLevel && HasLevel(level)) {
            try {
                RollbackLevel(level);
            } catch (const DbError&) {
                // The statement's own failure is the one to report.
            }
        }
        throw;
    }
}

std::shared_ptr<const KeyedPlan> ServerDatabase::FindPlan(const std::string& sql) const {
    std::lock_guard lock(mutex_);
    const auto it = plans_.find(sql);
    return it == plans_.end() ? nullptr : it->second;
}

void ServerDatabase::KeepPlan(const std::string& sql, std::shared_ptr<const KeyedPlan> plan) {
    std::lock_guard lock(mutex_);
    // Statements with a literal in their text come and go; the bound keeps them from piling up.
    if (plans_.size() >= 512) plans_.clear();
    plans_[sql] = std::move(plan);
}

std::unique_ptr<RowStore> ServerDatabase::OpenStore(const std::string& sql,
                                                    const std::vector<Value>& parameters,
                                                    bool updatable) {
    std::lock_guard lock(mutex_);
    // A write returns rows only with RETURNING; those rows are read whole.
    const std::vector<Token> tokens = Tokenize(sql);
    const bool returning = std::any_of(tokens.begin(), tokens.end(), [&](const Token& token) {
        return IsKeyword(sql, token, "RETURNING");
    });
    if (!IsReadOnly(sql) && !returning) {
        Execute(sql, parameters);
        return nullptr;
    }
    auto self = std::static_pointer_cast<ServerDatabase>(shared_from_this());
    if (auto keyed = ServerKeyedStore::TryCreate(self, sql, parameters, updatable)) return keyed;
    return std::make_unique<ServerResultStore>(self, sql, parameters);
}

} // namespace velmora::db
