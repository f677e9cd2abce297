#include "SqlText.h"

namespace velmora::db {

std::string EscapeQuotes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        result += c;
        if (c == '\'') result += '\'';
    }
    return result;
}

} // namespace velmora::db
