#pragma once
// Options of the form "--name value" and "--flag", as the stress programs take them.
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace velmora::stress {

class CommandLine {
  public:
    // Parses argv[1..]. `valued` names the options that take a value, `flags` those that do not.
    // Anything else, a missing value or an option given twice throws std::invalid_argument.
    CommandLine(int argc, const char* const* argv, const std::set<std::string>& valued,
                const std::set<std::string>& flags);

    bool Has(const std::string& name) const;
    std::string Text(const std::string& name, const std::string& fallback) const;
    // A whole number in [minimum, maximum]; the fallback when the option is absent. Throws
    // std::invalid_argument for anything that is not such a number.
    int64_t Number(const std::string& name, int64_t fallback, int64_t minimum,
                   int64_t maximum) const;

  private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
};

} // namespace velmora::stress
