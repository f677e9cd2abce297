#include "Copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "CopyProgress.h"
#include "MaskedMessage.h"
#include "StagedFile.h"
#include "TableTransfer.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/DataSource.h"
#include "engine/db/Database.h"
#include "engine/db/Schema.h"

namespace {

using velmora::db::Connection;
using velmora::db::IsServerDataSource;
using velmora::db::MaskedDataSource;
using velmora::tool::CopyProgress;
using velmora::tool::MaskedMessage;
using velmora::tool::StagedFile;
using velmora::tool::TableDigest;

constexpr const char* kUsage =
    "Usage: velmora copy SOURCE DESTINATION\n"
    "\n"
    "Copies the whole database SOURCE into DESTINATION: every table, every row, the\n"
    "identifier counters and every attachment. Either may be a database file or a server\n"
    "database given as postgresql://[USER[:PASSWORD]@]HOST[:PORT]/DATABASE (better give the\n"
    "password in ~/.pgpass or $PGPASSWORD than on the command line).\n"
    "\n"
    "A destination file must not exist yet, a destination server database must hold no\n"
    "tables. Everything is written in one transaction and kept only when every table of the\n"
    "copy has the rows of the source, checked by count and checksum; a failed or interrupted\n"
    "copy leaves no file and no tables behind. While it runs, SOURCE takes no changes: the\n"
    "copy holds its write lock, so other clients wait and time out as on a busy database.\n";

struct Totals {
    size_t tables = 0;
    uint64_t rows = 0;
    uint64_t attachments = 0;
    uint64_t attachmentBytes = 0;
};

std::string Shown(const std::string& dataSource) {
    return "'" + MaskedDataSource(dataSource) + "'";
}

// The database being made: a staged file that gets its name only once the copy is complete, or
// an empty server database.
class Destination {
  public:
    explicit Destination(const std::string& dataSource) {
        if (IsServerDataSource(dataSource)) {
            connection_.Open(velmora::db::MakeConnectionString(dataSource));
            if (velmora::db::HasTables(connection_))
                throw std::runtime_error(Shown(dataSource) +
                                         " already holds tables; a copy goes only into an empty "
                                         "database");
            return;
        }
        staged_.emplace(dataSource);
        const int fd =
            ::open(staged_->Path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot create " + Shown(dataSource) + ": " +
                                     std::strerror(errno));
        ::close(fd);
        connection_.Open(velmora::db::MakeConnectionString(staged_->Path()));
    }
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    Connection& connection() { return connection_; }

    // After the commit: a file gets its name (nothing to do for a server database).
    void Publish() {
        connection_.Close();
        if (staged_) staged_->Publish();
    }

  private:
    std::optional<StagedFile> staged_; // declared first: removed after the connection closed
    Connection connection_;
};

void OpenSource(Connection& connection, const std::string& source) {
    if (!IsServerDataSource(source)) {
        struct stat status {};
        if (::stat(source.c_str(), &status) != 0)
            throw std::runtime_error("the source " + Shown(source) + " does not exist");
        if (!S_ISREG(status.st_mode))
            throw std::runtime_error("the source " + Shown(source) + " is not a database file");
    }
    connection.Open(velmora::db::MakeConnectionString(source));
    if (!velmora::db::HasTables(connection))
        throw std::runtime_error("the source " + Shown(source) +
                                 " holds no tables; there is nothing to copy");
}

std::string Mismatch(const std::string& table, const TableDigest& source, const TableDigest& copy) {
    if (source.rows != copy.rows)
        return "the copy of " + table + " has " + std::to_string(copy.rows) + " rows, the source " +
               std::to_string(source.rows) + "; nothing was kept";
    return "the rows of " + table + " in the copy differ from the source; nothing was kept";
}

Totals CopyDatabase(const std::string& source, const std::string& destination,
                    CopyProgress& progress) {
    Connection from;
    OpenSource(from, source);
    // Holds other writers off, so that the source still has the rows that were copied when the
    // copy is checked against it. Nothing is written to the source: the transaction is rolled
    // back when the copy is done.
    velmora::db::Transaction holdStill(from);
    Destination to(destination);
    Totals totals;
    {
        velmora::db::Transaction writing(to.connection());
        velmora::db::CreateSchema(to.connection(), /*seedRows=*/false);
        std::vector<std::vector<std::string>> columns;
        std::vector<uint64_t> rows;
        for (const std::string& table : velmora::db::TableNames()) {
            columns.push_back(velmora::tool::TableColumns(from, table));
            const uint64_t total = velmora::tool::CountRows(from, table);
            progress.Begin("Copying", table, total);
            const velmora::tool::CopiedRows copied =
                velmora::tool::CopyRows(from, to.connection(), table, columns.back(),
                                        [&progress](uint64_t done) { progress.Done(done); });
            rows.push_back(copied.rows);
            ++totals.tables;
            totals.rows += copied.rows;
            if (copied.streamedBytes > 0 || table == "tAttachment") {
                totals.attachments += copied.rows;
                totals.attachmentBytes += copied.streamedBytes;
            }
        }
        size_t index = 0;
        for (const std::string& table : velmora::db::TableNames()) {
            const auto report = [&progress](uint64_t done) { progress.Done(done); };
            progress.Begin("Checking the source of", table, rows[index]);
            const TableDigest expected =
                velmora::tool::DigestTable(from, table, columns[index], report);
            progress.Begin("Checking the copy of", table, rows[index]);
            const TableDigest copied =
                velmora::tool::DigestTable(to.connection(), table, columns[index], report);
            if (!(expected == copied)) throw std::runtime_error(Mismatch(table, expected, copied));
            ++index;
        }
        writing.Commit();
    }
    to.Publish();
    return totals;
}

} // namespace

int RunCopy(int argc, char** argv) {
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (word.size() > 1 && word[0] == '-' && word != "-") {
            std::fprintf(stderr, "velmora: copy: unknown option '%s'\n%s", argv[i], kUsage);
            return 2;
        }
        positional.emplace_back(word);
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "velmora: copy: give a SOURCE and a DESTINATION\n%s", kUsage);
        return 2;
    }
    const std::string& source = positional[0];
    const std::string& destination = positional[1];
    const auto start = std::chrono::steady_clock::now();
    try {
        Totals totals;
        {
            CopyProgress progress;
            totals = CopyDatabase(source, destination, progress);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("Copied %s to %s: %zu tables, %llu rows, %llu attachments with %llu bytes "
                    "(%.1f s)\n",
                    Shown(source).c_str(), Shown(destination).c_str(), totals.tables,
                    static_cast<unsigned long long>(totals.rows),
                    static_cast<unsigned long long>(totals.attachments),
                    static_cast<unsigned long long>(totals.attachmentBytes), seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "velmora: copy: %s\n",
                     MaskedMessage(MaskedMessage(error.what(), source), destination).c_str());
        return 1;
    }
}
