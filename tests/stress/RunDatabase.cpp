#include "RunDatabase.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "engine/db/DataSource.h"
#include "tests/support/TestDataSource.h"

namespace velmora::stress {

using test::TestDataSource;

RunDatabase::RunDatabase(const Workspace& workspace, const std::string& fileName,
                         const std::string& serverUri)
    : serverUri_(serverUri) {
    if (serverUri_.empty()) {
        dataSource_ = workspace.Child(fileName);
        if (std::filesystem::exists(dataSource_))
            throw std::runtime_error(dataSource_ + " exists already; choose an empty folder");
        return;
    }
    if (!db::IsServerDataSource(serverUri_))
        throw std::invalid_argument("--server takes a postgresql:// or postgres:// URI");
    name_ = "velmora_stress_" + std::to_string(::getpid());
    // CREATE DATABASE cannot run inside a transaction: it goes through a plain connection of
    // its own to the maintenance database.
    if (const std::string error = TestDataSource::Execute(serverUri_, "CREATE DATABASE " + name_);
        !error.empty())
        throw std::runtime_error("cannot create the database " + name_ + " on " +
                                 db::MaskedDataSource(serverUri_) + ": " + error);
    dataSource_ = TestDataSource::WithDatabase(serverUri_, name_);
}

RunDatabase::~RunDatabase() {
    if (serverUri_.empty()) return;
    if (keep_) {
        std::cout << "kept the server database " << name_ << "\n";
        return;
    }
    // FORCE: a session the run left behind (a killed worker's, say) must not keep it alive.
    const std::string error =
        TestDataSource::Execute(serverUri_, "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    if (!error.empty()) std::cerr << "cannot drop the database " << name_ << ": " << error << "\n";
}

std::string RunDatabase::Shown() const {
    return db::MaskedDataSource(dataSource_);
}

std::string RunDatabase::PrepareIntegrityCheck() const {
    if (serverUri_.empty()) return "";
    const std::string error =
        TestDataSource::Execute(dataSource_, "CREATE EXTENSION IF NOT EXISTS amcheck");
    return error.empty() ? "" : "the server's amcheck extension is not available: " + error;
}

} // namespace velmora::stress
