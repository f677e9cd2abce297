#include "CommandLine.h"

#include <charconv>
#include <stdexcept>

namespace velmora::stress {

CommandLine::CommandLine(int argc, const char* const* argv, const std::set<std::string>& valued,
                         const std::set<std::string>& flags) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0)
            throw std::invalid_argument("unexpected argument '" + argument + "'");
        const std::string name = argument.substr(2);
        if (values_.contains(name) || flags_.contains(name))
            throw std::invalid_argument("option --" + name + " given twice");
        if (flags.contains(name)) {
            flags_.insert(name);
        } else if (valued.contains(name)) {
            if (i + 1 >= argc) throw std::invalid_argument("option --" + name + " needs a value");
            values_[name] = argv[++i];
        } else {
            throw std::invalid_argument("unknown option --" + name);
        }
    }
}

bool CommandLine::Has(const std::string& name) const {
    return values_.contains(name) || flags_.contains(name);
}

std::string CommandLine::Text(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

int64_t CommandLine::Number(const std::string& name, int64_t fallback, int64_t minimum,
                            int64_t maximum) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return fallback;
    const std::string& text = it->second;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum ||
        value > maximum) {
        throw std::invalid_argument("--" + name + " takes a whole number from " +
                                    std::to_string(minimum) + " to " + std::to_string(maximum) +
                                    ", not '" + text + "'");
    }
    return value;
}

} // namespace velmora::stress
