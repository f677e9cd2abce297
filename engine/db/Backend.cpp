#include "Backend.h"

#include "DataSource.h"
#include "ErrorCodes.h"
#include "SharedDatabase.h"

namespace velmora::db {

std::shared_ptr<Backend> Backend::Acquire(const std::string& dataSource) {
    if (IsServerDataSource(dataSource)) {
        Fail(kErrFail, "Cannot open database '" + MaskedDataSource(dataSource) +
                           "': this engine was built without database server support.");
    }
    return SharedDatabase::Acquire(dataSource);
}

} // namespace velmora::db
