#include "Demo.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "DemoFiller.h"
#include "DemoOptions.h"
#include "DemoTeam.h"
#include "engine/db/Schema.h"

namespace {

using namespace velmora::demo;

constexpr int kProgressStep = 1000;

void PrintUsage(FILE* to) {
    std::fprintf(to,
                 "Usage: velmora demo FILE [--bugs N] [--seed S]\n"
                 "\n"
                 "Creates FILE as a new database (an existing file is never overwritten) and\n"
                 "fills it through the engine's object model with a small team: %d products\n"
                 "with their versions and classifications, a developer, tester and manager role\n"
                 "per product, %d users, and N bugs and features (default %d) with rich texts\n"
                 "and attachments. The same N and seed S (default 1) always give the same\n"
                 "content.\n"
                 "\n"
                 "Every demo user's password is the login name followed by \"%s\" (mhart logs\n"
                 "in with mhart%s); Admin keeps the empty password and holds every role it\n"
                 "needs to see all products.\n",
                 static_cast<int>(DemoProducts().size()), static_cast<int>(DemoUsers().size()),
                 kDefaultBugCount, kPasswordSuffix, kPasswordSuffix);
}

// Removes the half-made database (and a journal SQLite may have left) after a failure.
void RemoveDatabase(const std::string& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    std::filesystem::remove(file + "-journal", ignored);
}

DemoCounts Fill(const DemoOptions& options) {
    const std::vector<PlannedBug> plan = PlanBugs(options.bugs, options.seed);
    velmora::tool::ComApartment apartment;
    DemoFiller filler(options.file);
    filler.BuildTeam();
    int added = 0;
    for (const PlannedBug& bug : plan) {
        filler.AddBug(bug);
        if (++added % kProgressStep == 0 && added < options.bugs)
            std::fprintf(stderr, "velmora: demo: %d of %d bugs and features added\n", added,
                         options.bugs);
    }
    return filler.Counts();
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
    if (const std::string error = velmora::db::CreateSeedDatabase(options.file); !error.empty()) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        const DemoCounts counts = Fill(options);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("Created %s: %d products, %d versions, %d classifications, %d roles, %d users, "
                    "%d bugs, %d features, %d attachments (seed %llu, %.1f s)\n",
                    options.file.c_str(), counts.products, counts.versions, counts.classifications,
                    counts.roles, counts.users, counts.bugs, counts.features, counts.attachments,
                    static_cast<unsigned long long>(options.seed), seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora: demo: %s\n", error.what());
        RemoveDatabase(options.file);
        return 1;
    }
}
