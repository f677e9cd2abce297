#include "DemoOptions.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace velmora::demo {
namespace {

// The whole text as a decimal number without sign, or false.
template <class Number> bool ParseWhole(std::string_view text, Number* value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string ParseDemoOptions(int argc, char** argv, DemoOptions* options) {
    *options = DemoOptions();
    for (int i = 0; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            options->help = true;
            return {};
        }
        if (word.starts_with("--")) {
            // "--bugs N" or "--bugs=N", and the same for --seed.
            const size_t equals = word.find('=');
            const std::string_view name = word.substr(0, equals);
            std::string_view value;
            if (equals != std::string_view::npos) {
                value = word.substr(equals + 1);
            } else if (name == "--bugs" || name == "--seed") {
                if (i + 1 >= argc) return std::string(name) + " needs a value";
                value = argv[++i];
            }
            if (name == "--bugs") {
                int bugs = 0;
                if (!ParseWhole(value, &bugs) || bugs > kMaxBugCount)
                    return "--bugs takes a whole number from 0 to " + std::to_string(kMaxBugCount) +
                           ", not '" + std::string(value) + "'";
                options->bugs = bugs;
            } else if (name == "--seed") {
                uint64_t seed = 0;
                if (!ParseWhole(value, &seed))
                    return "--seed takes a whole number from 0 to 18446744073709551615, not '" +
                           std::string(value) + "'";
                options->seed = seed;
            } else {
                return "unknown option '" + std::string(word) + "'";
            }
        } else if (word.size() > 1 && word[0] == '-') {
            return "unknown option '" + std::string(word) + "'";
        } else if (options->file.empty()) {
            options->file = word;
        } else {
            return "more than one FILE given";
        }
    }
    if (options->file.empty()) return "no FILE given";
    return {};
}

} // namespace velmora::demo
