#pragma once
// The database a run starts from: a seed database plus, made through the object model, a role
// with every right, a product whose first version all workers report in, two classifications,
// and one user per worker holding the role.
#include <string>
#include <vector>

#include <velmora/Com.h>

namespace velmora::stress {

struct SeedLayout {
    LONG productId = 0;
    LONG versionId = 0; // the version every worker reports bugs and features in
    std::vector<LONG> classIds;
    LONG roleId = 0;
    std::vector<LONG> userIds; // worker i (from 0) is userIds[i]
};

// Worker i's login name and password. The password holds a quote on purpose.
std::string WorkerLogin(int worker);
std::string WorkerPassword(int worker);

// Creates the database at path for `workers` workers. Throws std::runtime_error naming the step
// that failed and the engine's description.
SeedLayout CreateWorkerDatabase(const std::string& path, int workers);

// Throws std::runtime_error("<step>: <description>") when hr is a failure.
void Require(HRESULT hr, const std::string& step);

} // namespace velmora::stress
