#pragma once
// One line of a journal: "key=value key=value ...". Values may hold any bytes; blanks, '=', '%'
// and control characters are written as %XX so that a line never holds a blank or a line break
// of its own.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::stress {

class JournalRecord {
  public:
    JournalRecord() = default;

    // Adds or replaces a field; fields keep the order they were first set in.
    JournalRecord& Set(const std::string& key, const std::string& value);
    JournalRecord& Set(const std::string& key, int64_t value);

    bool Has(const std::string& key) const;
    // The value, or "" for a missing field.
    std::string Text(const std::string& key) const;
    // The value as a number; 0 for a missing or non-numeric field.
    int64_t Number(const std::string& key) const;

    // The line without its line break.
    std::string Format() const;
    // Reads a line written by Format; std::nullopt for anything else.
    static std::optional<JournalRecord> Parse(const std::string& line);

    bool operator==(const JournalRecord& other) const = default;

  private:
    std::vector<std::pair<std::string, std::string>> fields_;
};

} // namespace velmora::stress
