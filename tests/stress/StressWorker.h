#pragma once
// One stress worker: a session of its own on the shared database and a run of random
// operations through the object model, each written to the worker's journal with what the
// engine reported.
//
// A worker updates only the bugs, products and classifications it created itself and renames
// only its own user, so that every reported update has exactly one expected final value. It
// deletes and attaches files to other workers' bugs now and then, and adds classifications to
// other workers' products, so that those changes race with their owners'.
#include <cstdint>
#include <string>
#include <vector>

#include <velmora/Com.h>

#include "OperationNames.h"

namespace velmora::stress {

struct StressPlan {
    int worker = 0; // from 0
    std::string database;
    std::string journal;
    std::string scratch; // folder for the files the worker attaches
    LONG versionId = 0;
    std::vector<LONG> classIds;
    uint64_t seed = 1;
    int64_t operations = 0; // 0: until the deadline
    int64_t deadlineMs = 0; // wall-clock milliseconds since the epoch; 0: none
};

// Runs the worker to the end of its plan. Returns the process exit status: 0, or non-zero when
// the worker could not start or could not write its journal (the reason goes to stderr).
int RunStressWorker(const StressPlan& plan);

} // namespace velmora::stress
