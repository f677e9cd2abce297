#pragma once
// The crash test's worker: random transactions through the object model, each announced in the
// side log before the engine is called and confirmed after it answered, until it is killed.
#include <cstdint>
#include <string>

#include <velmora/Com.h>

namespace velmora::stress {

struct CrashPlan {
    std::string database;
    std::string log;     // the side log, appended to
    std::string scratch; // folder for the files it attaches
    LONG versionId = 0;  // the version its session works in
    LONG productId = 0;  // the seed product, never updated or deleted
    uint64_t seed = 1;
    int64_t operations = 0; // 0: until killed
};

// Returns the process exit status: 0 after `operations` operations, non-zero when the worker
// could not start or write its log.
int RunCrashWorker(const CrashPlan& plan);

} // namespace velmora::stress
