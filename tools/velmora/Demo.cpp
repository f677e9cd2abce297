#include "Demo.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "DemoFiller.h"
#include "DemoOptions.h"
#include "DemoTeam.h"
#include "MaskedMessage.h"
#include "StagedFile.h"
#include "engine/db/DataSource.h"
#include "engine/db/Schema.h"
#include "engine/db/UnsyncedBuild.h"

namespace {

using namespace velmora::demo;

void PrintUsage(FILE* to) {
    std::fprintf(to,
                 "Usage: velmora demo FILE [--bugs N] [--seed S]\n"
                 "\n"
                 "Creates FILE as a new database (an existing file is never overwritten) and\n"
                 "fills it through the engine's object model with a small team: %d products\n"
                 "with their versions and classifications, a developer, tester and manager role\n"
                 "per product, %d users, and N bugs and features (default %d) with rich texts\n"
                 "and attachments. The same N and seed S (default 1) always give the same\n"
                 "file. FILE appears only when it is complete: it is built under a hidden\n"
                 "temporary name beside it, which an interrupted run removes.\n"
                 "\n"
                 "FILE may instead be a server database, postgresql://[USER@]HOST[:PORT]/NAME,\n"
                 "that holds no tables yet: the tables are made there and filled in place.\n"
                 "\n"
                 "Every demo user's password is the login name followed by \"%s\" (mhart logs\n"
                 "in with mhart%s); Admin keeps the empty password and holds every role it\n"
                 "needs to see all products.\n",
                 static_cast<int>(DemoProducts().size()), static_cast<int>(DemoUsers().size()),
                 kDefaultBugCount, kPasswordSuffix, kPasswordSuffix);
}

// Shows how many bugs have been added on one line of the terminal, rewritten in place at most
// every tenth of a second; prints nothing when stderr is not a terminal.
class Progress {
  public:
    explicit Progress(int total) : total_(total), shown_(total > 0 && isatty(STDERR_FILENO)) {}
    ~Progress() {
        if (started_) std::fputc('\n', stderr);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Added(int added) {
        if (!shown_) return;
        const auto now = std::chrono::steady_clock::now();
        if (started_ && added < total_ && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        started_ = true;
        std::fprintf(stderr, "\rAdding bugs: %d / %d", added, total_);
        std::fflush(stderr);
    }

  private:
    int total_;
    bool shown_;
    bool started_ = false;
    std::chrono::steady_clock::time_point last_;
};

// Fills the database at path and closes every connection to it again.
DemoCounts Fill(const DemoOptions& options, const std::string& path) {
    const std::vector<PlannedBug> plan = PlanBugs(options.bugs, options.seed);
    velmora::tool::ComApartment apartment;
    DemoFiller filler(path);
    filler.BuildTeam();
    Progress progress(options.bugs);
    int added = 0;
    for (const PlannedBug& bug : plan) {
        filler.AddBug(bug);
        progress.Added(++added);
    }
    return filler.Counts();
}

// Makes the tables of an empty server database and fills them there. A server database has no
// private name to be built under, so what a failed run added stays and the message says so.
DemoCounts BuildOnServer(const DemoOptions& options) {
    if (const std::string error = velmora::db::CreateSeedDatabase(options.file); !error.empty())
        throw std::runtime_error(error);
    try {
        return Fill(options, options.file);
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) +
                                 "; the server database keeps what was added so far");
    }
}

// Builds the new database under a private name without flushing every change to disk (nothing
// is lost by that: an unfinished file is thrown away), then flushes it once and publishes it
// under its name.
DemoCounts Build(const DemoOptions& options) {
    if (velmora::db::IsServerDataSource(options.file)) return BuildOnServer(options);
    velmora::tool::StagedFile staged(options.file);
    if (const std::string error = velmora::db::CreateSeedDatabase(staged.Path()); !error.empty())
        throw std::runtime_error(error);
    DemoCounts counts;
    {
        velmora::db::UnsyncedBuild build(staged.Path());
        counts = Fill(options, staged.Path());
    }
    if (velmora::db::UnsyncedBuild::OpenConnections() != 0)
        throw std::runtime_error("the engine still holds the database open");
    staged.Publish();
    return counts;
}

} // namespace

int RunDemo(int argc, char** argv) {
    DemoOptions options;
    if (const std::string complaint = ParseDemoOptions(argc, argv, &options); !complaint.empty()) {
        std::fprintf(stderr, "velmora: demo: %s\n", complaint.c_str());
        PrintUsage(stderr);
        return 2;
    }
    if (options.help) {
        PrintUsage(stdout);
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        const DemoCounts counts = Build(options);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("Created %s: %d products, %d versions, %d classifications, %d roles, %d users, "
                    "%d bugs, %d features, %d attachments (seed %llu, %.1f s)\n",
                    velmora::db::MaskedDataSource(options.file).c_str(), counts.products,
                    counts.versions, counts.classifications, counts.roles, counts.users,
                    counts.bugs, counts.features, counts.attachments,
                    static_cast<unsigned long long>(options.seed), seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora: demo: %s\n",
                     velmora::tool::MaskedMessage(error.what(), options.file).c_str());
        return 1;
    }
}
