// velmora_bench: the bug set and attachments measured beside the same work done with the raw
// SQLite C API (and gzip -6 for attachments), on one machine in one run.
//
//   velmora_bench [--bugs 10000,100000] [--attach-mb 100] [--only TEXT] [--dir DIRECTORY]
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "BenchSupport.h"
#include "EngineWork.h"
#include "RawSqlite.h"

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

void Compare(const std::string& operation, long rows, const std::string& database,
             bool (*engineWork)(const std::string&), bool (*rawWork)(const std::string&),
             bool (*engineSetup)(const std::string&) = nullptr) {
    if (operation.find(onlyOperations) == std::string::npos) return;
    const std::string engineCopy = FreshCopy(database, "engine.mdb");
    const std::string rawCopy = FreshCopy(database, "raw.mdb");
    // The copies reach the disk before the clock starts: otherwise the first commit of a
    // measurement waits for hundreds of megabytes of copy to be written back.
    sync();
    auto engine = MeasureInChild([&] { return !engineSetup || engineSetup(engineCopy); },
                                 [&] { return engineWork(engineCopy); });
    auto raw = MeasureInChild([] { return true; }, [&] { return rawWork(rawCopy); });
    PrintRow(operation, rows, engine, raw);
}

const char* const kUsage =
    "usage: velmora_bench [--bugs N[,N...]] [--attach-mb MB] [--only TEXT] [--dir DIRECTORY]\n"
    "\n"
    "Measures the bug set and attachments beside the same work done with the raw SQLite C API\n"
    "(and gzip -6 for attachments).\n"
    "\n"
    "  --bugs N[,N...]  sizes of the bug databases to build (default 10000,100000)\n"
    "  --attach-mb MB   size of the attached file in MB, 0 skips it (default 100)\n"
    "  --only TEXT      run only the operations whose name contains TEXT\n"
    "  --dir DIRECTORY  where the databases are built (default: a new temporary directory)\n"
    "  --help           print this text\n";

bool IsOption(const char* argument) {
    for (const char* option : {"--bugs", "--attach-mb", "--only", "--dir"}) {
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
        }
    }
    if (!directory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (error) {
            std::fprintf(stderr, "velmora_bench: cannot create %s: %s\n", directory.c_str(),
                         error.message().c_str());
            return 1;
        }
    } else {
        std::string pattern = std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX";
        if (!mkdtemp(pattern.data())) return 1;
        directory = pattern;
    }
    setenv("XDG_STATE_HOME", directory.c_str(), 1); // keeps Err.log out of the build tree

    PrintHeader();
    for (long size : sizes) {
        const std::string database = directory + "/bench-" + std::to_string(size) + ".mdb";
        if (auto error = BuildBenchDatabase(database, size); !error.empty()) {
            std::fprintf(stderr, "velmora_bench: %s\n", error.c_str());
            return 1;
        }
        Compare("OpenBugSet + Count + last row + CurItem", size, database,
                engine_work::OpenCountLast, raw::OpenCountLast);
        Compare("walk with First/Next/CurItem", size, database, engine_work::Walk, raw::Walk);
        Compare("Sort on Description", size, database, engine_work::SortByText, raw::SortByText);
        Compare("put_FilterSet, two conditions + Count", size, database,
                engine_work::FilterTwoConditions, raw::FilterTwoConditions);
        Compare(
            "GetBugByID + Update of one bug (list open)", size, database,
            [](const std::string&) { return engine_work::UpdateOne(5001); },
            [](const std::string& p) { return raw::UpdateOne(p, 5001); },
            engine_work::PrepareUpdate);
        Compare(
            "Add of 1,000 bugs", size, database,
            [](const std::string& p) { return engine_work::AddMany(p, 1000); },
            [](const std::string& p) { return raw::AddMany(p, 1000); });
    }

    if (attachMegabytes > 0) {
        const std::string database = directory + "/attach.mdb";
        const std::string sample = directory + "/sample.txt";
        if (BuildBenchDatabase(database, 10).size() ||
            WriteSampleFile(sample, attachMegabytes).size())
            return 1;
        auto engine = MeasureInChild(
            [] { return true; },
            [&] {
                return engine_work::AttachAndRestore(database, sample,
                                                     directory + "/restored.txt") &&
                       Succeeds("cmp -s '" + sample + "' '" + directory + "/restored.txt'");
            });
        auto gzip = MeasureInChild(
            [] { return true; },
            [&] {
                return Succeeds("gzip -6 -c '" + sample + "' > '" + directory + "/sample.gz'") &&
                       Succeeds("gzip -d -c '" + directory + "/sample.gz' > '" + directory +
                                "/gunzipped.txt'");
            });
        PrintRow("attach + restore " + std::to_string(attachMegabytes) + " MB (vs gzip -6)", 1,
                 engine, gzip);
    }
    std::filesystem::remove_all(directory);
    return 0;
}
