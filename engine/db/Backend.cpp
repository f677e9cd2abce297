#include "Backend.h"

#include "DataSource.h"
#include "SharedDatabase.h"
#include "server/ServerDatabase.h"

namespace velmora::db {

std::shared_ptr<Backend> Backend::Acquire(const std::string& dataSource) {
    if (IsServerDataSource(dataSource)) return ServerDatabase::Acquire(dataSource);
    return SharedDatabase::Acquire(dataSource);
}

} // namespace velmora::db
