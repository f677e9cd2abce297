#pragma once
// The checks of a stress run that go through the engine itself, as a new client after every
// worker has ended: the stored attachments read back, and one more Synchronize.
#include <string>
#include <vector>

#include "StressExpectation.h"
#include "WorkerSeed.h"

namespace velmora::stress {

// Restores every attachment that must still be there through its bug's attachment list and
// compares the bytes with what its worker attached. `scratch` is a folder to restore into.
std::vector<std::string> CheckAttachmentContents(const std::string& database,
                                                 const SeedLayout& seed,
                                                 const StressExpectation& expected,
                                                 const std::string& scratch);

// Synchronizes as the administrator, then checks every copied user, version and classification
// name in tBugReport against its source.
std::vector<std::string> CheckSynchronizedCopies(const std::string& database,
                                                 const SeedLayout& seed);

} // namespace velmora::stress
