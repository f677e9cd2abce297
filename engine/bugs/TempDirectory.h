#pragma once
// The files attachments pass through on their way in and out of the database: a private
// temporary directory (mode 0700, unpredictable name) under $TMPDIR or /tmp, so that two users of
// one machine, or one file name used twice at once, never meet in a shared folder; and an owner
// of an open file descriptor.
#include <unistd.h>

#include <optional>
#include <string>

namespace velmora::engine {

// Owns one open file descriptor; closes it on every way out.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // False when closing reports an error (for a written file: the data may be lost).
    bool Close() {
        if (fd_ < 0) return true;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

  private:
    int fd_;
};

class TempDirectory {
  public:
    // A new directory, or std::nullopt with the file system's message in *error.
    static std::optional<TempDirectory> Create(std::string* error);

    TempDirectory(TempDirectory&& other) noexcept;
    TempDirectory& operator=(TempDirectory&& other) noexcept;
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    // Removes the directory and everything in it, unless Keep() was called.
    ~TempDirectory();

    // The directory, without a trailing '/'.
    const std::string& Path() const { return path_; }
    // Path() + "/" + name.
    std::string Child(const std::string& name) const;
    // Leaves the directory and its content on disk when this object goes.
    void Keep() { kept_ = true; }

  private:
    explicit TempDirectory(std::string path) : path_(std::move(path)) {}
    void Remove() noexcept;

    std::string path_;
    bool kept_ = false;
};

// Writes all `size` bytes to fd, resuming after interruptions; false on a write error.
bool WriteAll(int fd, const void* data, size_t size);

// The system's temporary folder: $TMPDIR when set, else /tmp; without a trailing '/'.
std::string TemporaryRoot();

} // namespace velmora::engine
