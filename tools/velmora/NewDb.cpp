#include "NewDb.h"

#include <cstdio>
#include <string>

#include "engine/db/Schema.h"

int RunNewDb(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "velmora: usage: velmora newdb FILE\n");
        return 2;
    }
    const std::string error = velmora::db::CreateSeedDatabase(argv[1]);
    if (!error.empty()) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
        return 1;
    }
    std::printf("Created %s\n", argv[1]);
    return 0;
}
