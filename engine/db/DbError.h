#pragma once
// The one error type the data-access layer throws. Engine members catch it at their edge,
// log it and turn it into a status code.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmora::db {

class DbError : public std::runtime_error {
  public:
    DbError(int32_t code, std::string description, std::string source = "Velmora.SQLite")
        : std::runtime_error(description), code_(code), description_(std::move(description)),
          source_(std::move(source)) {}

    int32_t Code() const noexcept { return code_; }
    const std::string& Description() const noexcept { return description_; }
    const std::string& Source() const noexcept { return source_; }

  private:
    int32_t code_;
    std::string description_;
    std::string source_;
};

} // namespace velmora::db
