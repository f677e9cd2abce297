// The tests' copy of the engine library exports one more function, so that the tests can send
// its error log into their temporary directory instead of the program's directory.
#include "engine/log/Log.h"

extern "C" __attribute__((visibility("default"))) void
VelmoraTestSetLogDirectory(const char* directoryWithSlash) {
    velmora::log::SetLogDirectoryForTesting(directoryWithSlash ? directoryWithSlash : "");
}
