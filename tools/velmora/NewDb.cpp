#include "NewDb.h"

#include <cstdio>
#include <string>

#include "MaskedMessage.h"
#include "engine/db/DataSource.h"
#include "engine/db/Schema.h"

int RunNewDb(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "velmora: usage: velmora newdb FILE\n");
        return 2;
    }
    const std::string database = argv[1];
    // A file is made here; a server database must exist and hold no tables yet.
    const std::string error = velmora::db::CreateSeedDatabase(database);
    if (!error.empty()) {
        std::fprintf(stderr, "velmora: %s\n",
                     velmora::tool::MaskedMessage(error, database).c_str());
        return 1;
    }
    std::printf("Created %s\n", velmora::db::MaskedDataSource(database).c_str());
    return 0;
}
