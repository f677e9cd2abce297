// velmora_bench: the bug set and attachments measured beside the same work done with the raw
// SQLite C API (and gzip -6 for attachments), on one machine in one run; with --server, the same
// again on a PostgreSQL server database beside raw libpq.
//
//   velmora_bench [--bugs 10000,100000] [--attach-mb 100] [--only TEXT] [--dir DIRECTORY]
//                 [--server URI]
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "BenchSupport.h"
#include "EngineWork.h"
#include "RawPq.h"
#include "RawSqlite.h"
#include "ServerDatabases.h"

using namespace velmora::bench;

namespace {

bool Succeeds(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// Every measurement runs on a fresh copy, so writes of one do not change the next.
std::string FreshCopy(const std::string& original, const std::string& name) {
    const std::string copy = std::filesystem::path(original).parent_path() / name;
    std::filesystem::copy_file(original, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

// Only the operations whose name holds this text run (--only); empty runs all.
std::string onlyOperations;

using Work = bool (*)(const std::string&);

// One measured operation: the engine's work and the same reads done raw on either backend.
struct Operation {
    std::string name;
    Work engineWork;
    Work fileRaw;
    Work serverRaw;
    Work engineSetup = nullptr;
    Work serverRawSetup = nullptr;
};

// The server run (--server): where the databases are made, and which one is the current size's.
struct ServerRun {
    std::unique_ptr<ServerDatabases> databases;
    std::string benchDatabase;
};

void Compare(const Operation& operation, long rows, const std::string& database,
             const char* backend) {
    const std::string engineCopy = FreshCopy(database, "engine.mdb");
    const std::string rawCopy = FreshCopy(database, "raw.mdb");
    // The copies reach the disk before the clock starts: otherwise the first commit of a
    // measurement waits for hundreds of megabytes of copy to be written back.
    sync();
    auto engine =
        MeasureInChild([&] { return !operation.engineSetup || operation.engineSetup(engineCopy); },
                       [&] { return operation.engineWork(engineCopy); });
    auto raw = MeasureInChild([] { return true; }, [&] { return operation.fileRaw(rawCopy); });
    PrintRow(operation.name, rows, engine, raw, backend);
}

// The same on fresh server databases made from the size's bench database (a fast copy on the
// server), so writes of one measurement do not change the next.
void CompareOnServer(const Operation& operation, long rows, ServerRun& server) {
    ServerDatabases& databases = *server.databases;
    const std::string engineCopy =
        databases.FreshCopy(server.benchDatabase, "velmora_bench_engine");
    const std::string rawCopy = databases.FreshCopy(server.benchDatabase, "velmora_bench_raw");
    Measurement engine, raw;
    if (engineCopy.empty() || rawCopy.empty()) {
        std::fprintf(stderr, "velmora_bench: %s", databases.Error().c_str());
    } else {
        databases.Checkpoint();
        engine = MeasureInChild(
            [&] { return !operation.engineSetup || operation.engineSetup(engineCopy); },
            [&] { return operation.engineWork(engineCopy); });
        raw = MeasureInChild(
            [&] { return !operation.serverRawSetup || operation.serverRawSetup(rawCopy); },
            [&] { return operation.serverRaw(rawCopy); });
    }
    PrintRow(operation.name, rows, engine, raw, "server");
    databases.Drop("velmora_bench_engine");
    databases.Drop("velmora_bench_raw");
}

std::vector<Operation> Operations() {
    return {
        {"OpenBugSet + Count + last row + CurItem", engine_work::OpenCountLast, raw::OpenCountLast,
         raw_pq::OpenCountLast},
        {"walk with First/Next/CurItem", engine_work::Walk, raw::Walk, raw_pq::Walk},
        {"Sort on Description", engine_work::SortByText, raw::SortByText, raw_pq::SortByText},
        {"put_FilterSet, two conditions + Count", engine_work::FilterTwoConditions,
         raw::FilterTwoConditions, raw_pq::FilterTwoConditions},
        {"GetBugByID + Update of one bug (list open)",
         [](const std::string&) { return engine_work::UpdateOne(5001); },
         [](const std::string& p) { return raw::UpdateOne(p, 5001); },
         [](const std::string&) { return raw_pq::UpdateOne(5001); }, engine_work::PrepareUpdate,
         raw_pq::PrepareUpdate},
        {"Add of 1,000 bugs", [](const std::string& p) { return engine_work::AddMany(p, 1000); },
         [](const std::string& p) { return raw::AddMany(p, 1000); },
         [](const std::string& uri) { return raw_pq::AddMany(uri, 1000); }},
    };
}

const char* const kUsage =
    "usage: velmora_bench [--bugs N[,N...]] [--attach-mb MB] [--only TEXT] [--dir DIRECTORY]\n"
    "                     [--server URI]\n"
    "\n"
    "Measures the bug set and attachments beside the same work done with the raw SQLite C API\n"
    "(and gzip -6 for attachments); with --server, also on a PostgreSQL server database beside\n"
    "raw libpq (and zlib for attachments).\n"
    "\n"
    "  --bugs N[,N...]  sizes of the bug databases to build (default 10000,100000)\n"
    "  --attach-mb MB   size of the attached file in MB, 0 skips it (default 100)\n"
    "  --only TEXT      run only the operations whose name contains TEXT\n"
    "  --dir DIRECTORY  where the databases are built, in a new directory that is removed\n"
    "                   afterwards (default: the temporary directory)\n"
    "  --server URI     also measure on the server: URI names a database of a user who may\n"
    "                   create databases (e.g. postgresql://me@host/postgres); the benchmark\n"
    "                   makes and drops databases named velmora_bench_*\n"
    "  --help           print this text\n";

bool IsOption(const char* argument) {
    for (const char* option : {"--bugs", "--attach-mb", "--only", "--dir", "--server"}) {
        if (std::strcmp(argument, option) == 0) return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    // Every option takes a value; anything else is a mistake rather than a run of hours.
    for (int i = 1; i < argc; i += 2) {
        if (!IsOption(argv[i]) || i + 1 >= argc) {
            std::fprintf(stderr, "velmora_bench: unexpected argument '%s'\n\n%s", argv[i], kUsage);
            return 2;
        }
    }
    std::vector<long> sizes = {10000, 100000};
    long attachMegabytes = 100;
    std::string directory;
    std::string serverUri;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--bugs") == 0) {
            sizes.clear();
            std::stringstream list(argv[i + 1]);
            for (std::string item; std::getline(list, item, ',');)
                sizes.push_back(std::stol(item));
        } else if (std::strcmp(argv[i], "--attach-mb") == 0) {
            attachMegabytes = std::stol(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--only") == 0) {
            onlyOperations = argv[i + 1];
        } else if (std::strcmp(argv[i], "--dir") == 0) {
            directory = argv[i + 1];
        } else if (std::strcmp(argv[i], "--server") == 0) {
            serverUri = argv[i + 1];
        }
    }
    // The work happens in a new directory of its own, removed at the end: inside the one given
    // (which may hold other files and is kept), else in the temporary directory.
    if (!directory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (error) {
            std::fprintf(stderr, "velmora_bench: cannot create %s: %s\n", directory.c_str(),
                         error.message().c_str());
            return 1;
        }
    } else {
        directory = std::filesystem::temp_directory_path();
    }
    std::string pattern = directory + "/velmora-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "velmora_bench: cannot create a directory in %s\n", directory.c_str());
        return 1;
    }
    directory = pattern;
    setenv("XDG_STATE_HOME", directory.c_str(), 1); // keeps Err.log out of the build tree

    const bool onServer = !serverUri.empty();
    ServerRun server;
    if (onServer) {
        server.databases = std::make_unique<ServerDatabases>(serverUri);
        if (!server.databases->Error().empty()) {
            std::fprintf(stderr, "velmora_bench: cannot connect to the server: %s",
                         server.databases->Error().c_str());
            return 1;
        }
    }
    // Makes the server's copy of a database file built for the benchmark.
    const auto onServerAlso = [&](const std::string& file, const std::string& name) {
        if (!onServer) return true;
        server.benchDatabase = name;
        if (server.databases->BuildFromFile(VELMORA_TOOL, file, name)) return true;
        std::fprintf(stderr, "velmora_bench: making %s on the server: %s", name.c_str(),
                     server.databases->Error().c_str());
        return false;
    };

    PrintHeader(onServer);
    int status = 0;
    for (long size : sizes) {
        const std::string database = directory + "/bench-" + std::to_string(size) + ".mdb";
        if (auto error = BuildBenchDatabase(database, size); !error.empty()) {
            std::fprintf(stderr, "velmora_bench: %s\n", error.c_str());
            status = 1;
            break;
        }
        if (!onServerAlso(database, "velmora_bench_" + std::to_string(size))) {
            status = 1;
            break;
        }
        for (const Operation& operation : Operations()) {
            if (operation.name.find(onlyOperations) == std::string::npos) continue;
            Compare(operation, size, database, onServer ? "file" : nullptr);
            if (onServer) CompareOnServer(operation, size, server);
        }
        if (onServer) server.databases->Drop(server.benchDatabase);
    }

    if (status == 0 && attachMegabytes > 0) {
        const std::string database = directory + "/attach.mdb";
        const std::string sample = directory + "/sample.txt";
        const std::string restored = directory + "/restored.txt";
        if (BuildBenchDatabase(database, 10).size() ||
            WriteSampleFile(sample, attachMegabytes).size())
            return 1;
        // The server's copy is made before the file gets its attachment.
        const bool serverReady = onServerAlso(database, "velmora_bench_attach");
        const std::string name =
            "attach + restore " + std::to_string(attachMegabytes) + " MB (vs gzip -6)";
        // The restored file must be the attached one, byte for byte.
        const auto restoredIntact = [&] {
            const bool same = Succeeds("cmp -s '" + sample + "' '" + restored + "'");
            std::filesystem::remove(restored);
            return same;
        };
        auto engine =
            MeasureInChild([] { return true; },
                           [&] {
                               return engine_work::AttachAndRestore(database, sample, restored) &&
                                      restoredIntact();
                           });
        auto gzip = MeasureInChild(
            [] { return true; },
            [&] {
                return Succeeds("gzip -6 -c '" + sample + "' > '" + directory + "/sample.gz'") &&
                       Succeeds("gzip -d -c '" + directory + "/sample.gz' > '" + directory +
                                "/gunzipped.txt'");
            });
        PrintRow(name, 1, engine, gzip, onServer ? "file" : nullptr);
        if (onServer && serverReady) {
            ServerDatabases& databases = *server.databases;
            const std::string engineCopy =
                databases.FreshCopy(server.benchDatabase, "velmora_bench_engine");
            const std::string rawCopy =
                databases.FreshCopy(server.benchDatabase, "velmora_bench_raw");
            Measurement onEngine, onRaw;
            if (!engineCopy.empty() && !rawCopy.empty()) {
                databases.Checkpoint();
                onEngine = MeasureInChild([] { return true; },
                                          [&] {
                                              return engine_work::AttachAndRestore(
                                                         engineCopy, sample, restored) &&
                                                     restoredIntact();
                                          });
                onRaw =
                    MeasureInChild([] { return true; },
                                   [&] {
                                       return raw_pq::AttachAndRestore(rawCopy, sample, restored) &&
                                              restoredIntact();
                                   });
            }
            PrintRow("attach + restore " + std::to_string(attachMegabytes) + " MB (vs zlib -6)", 1,
                     onEngine, onRaw, "server");
            for (const char* made : {"velmora_bench_engine", "velmora_bench_raw"})
                databases.Drop(made);
            databases.Drop(server.benchDatabase);
        } else if (onServer) {
            status = 1;
        }
    }
    std::filesystem::remove_all(directory);
    return status;
}
