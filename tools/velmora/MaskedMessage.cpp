#include "MaskedMessage.h"

#include "engine/db/DataSource.h"

namespace velmora::tool {

std::string MaskedMessage(std::string message, const std::string& dataSource) {
    const std::string masked = db::MaskedDataSource(dataSource);
    if (dataSource.empty() || masked == dataSource) return message;
    for (size_t at = message.find(dataSource); at != std::string::npos;
         at = message.find(dataSource, at + masked.size()))
        message.replace(at, dataSource.size(), masked);
    return message;
}

} // namespace velmora::tool
