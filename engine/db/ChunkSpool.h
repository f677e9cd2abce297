#pragma once
// Pieces of a long binary value collected before they are written to the database, kept in a
// private temporary file instead of memory.
#include <cstddef>
#include <cstdint>

namespace velmora::db {

class ChunkSpool {
  public:
    // Creates the file in a new directory of mode 0700 under $TMPDIR (else /tmp). File and
    // directory are removed from the file system at once; the open descriptor keeps the data
    // until the spool is destroyed, so nothing is left behind even after a crash.
    ChunkSpool();
    ~ChunkSpool();
    ChunkSpool(const ChunkSpool&) = delete;
    ChunkSpool& operator=(const ChunkSpool&) = delete;

    void Append(const uint8_t* data, size_t size);
    int64_t Size() const { return size_; }
    // Reads up to count bytes at offset into out; returns how many were read.
    size_t ReadAt(int64_t offset, uint8_t* out, size_t count) const;

  private:
    int fd_ = -1;
    int64_t size_ = 0;
};

} // namespace velmora::db
