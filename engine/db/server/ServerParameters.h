#pragma once
// Values as libpq sends them: numbers and texts in text form with their type left for the server
// to infer from where they stand (so that a text compared with a case-insensitive column compares
// without regard to case), binaries in binary form as bytea.
#include "../Database.h"

#include <libpq-fe.h>

#include <string>
#include <vector>

namespace velmora::db {

class ServerParameters {
  public:
    explicit ServerParameters(const std::vector<Value>& values);

    int Count() const { return static_cast<int>(pointers_.size()); }
    const Oid* Types() const { return types_.data(); }
    const char* const* Values() const { return pointers_.data(); }
    const int* Lengths() const { return lengths_.data(); }
    const int* Formats() const { return formats_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<Oid> types_;
    std::vector<const char*> pointers_;
    std::vector<int> lengths_;
    std::vector<int> formats_;
};

// A value in the text form the server reads for it ("" for Null).
std::string ServerText(const Value& value);

} // namespace velmora::db
