#include "DataSourcePath.h"

#include "ErrorCodes.h"

#include <algorithm>
#include <cctype>

namespace velmora::db {
namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

std::string DataSourcePath(const std::string& connectionString) {
    static const std::string kDataSource = "DATA SOURCE=";
    static const std::string kPersist = ";PERSIST SECURITY INFO=";
    const std::string upper = Upper(connectionString);
    const size_t key = upper.find(kDataSource);
    if (key == std::string::npos) {
        Fail(kErrFail, "The connection string names no data source: '" + connectionString + "'.");
    }
    const size_t begin = key + kDataSource.size();
    size_t end = upper.rfind(kPersist);
    if (end == std::string::npos || end < begin) end = connectionString.size();
    std::string path = connectionString.substr(begin, end - begin);
    if (path.empty()) {
        Fail(kErrFail, "The connection string names no data source: '" + connectionString + "'.");
    }
    return path;
}

} // namespace velmora::db
