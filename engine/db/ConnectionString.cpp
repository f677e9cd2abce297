#include "ConnectionString.h"

#include <mutex>

namespace velmora::db {
namespace {
std::mutex mutex;
std::string current;
} // namespace

void SetProcessConnectionString(std::string connectionString) {
    std::lock_guard lock(mutex);
    current = std::move(connectionString);
}

std::string ProcessConnectionString() {
    std::lock_guard lock(mutex);
    return current;
}

std::string MakeConnectionString(const std::string& databasePath) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + databasePath +
           ";Persist Security Info=False";
}

} // namespace velmora::db
