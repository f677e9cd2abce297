#pragma once
// An object that owns an open connection and lends it to the objects it hands out. Those objects
// reach the connection through this base, without knowing the owner's class.
#include "engine/db/Database.h"

namespace velmora::db {

class ConnectionSource {
  public:
    virtual db::Connection& Connection() = 0;

  protected:
    ~ConnectionSource() = default;
};

} // namespace velmora::db
