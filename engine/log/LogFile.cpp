// Writing and removing log files. Each entry is one open-append-close cycle with a single write
// of the whole entry, so entries from several processes sharing a log never interleave.
#include "Log.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace velmora::log {

namespace {

constexpr const char* kLineEnd = "\r\n";

// Log lines end with CR LF; a bare LF inside a text gets its CR too, so that a multi-line
// description reads like the rest of the file.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// "%X,%x": the local time, then the date, each as the current locale writes it.
std::string LocalTimeAndDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return {};
    std::vector<char> buffer(128);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const size_t length = std::strftime(buffer.data(), buffer.size(), "%X,%x", &local);
        if (length > 0) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
    return {};
}

std::string FormatEntry(int32_t code, const std::string& source, const std::string& description) {
    std::string entry(44, '-');
    entry += kLineEnd;
    entry += "[Time]: " + LocalTimeAndDate() + kLineEnd;
    entry += "[ErrCode]: " + std::to_string(code) + kLineEnd;
    entry += "[Source]: " + WithCrLf(source) + kLineEnd;
    entry +=
        "[Description]: " + WithCrLf(description.empty() ? DefaultDescription(code) : description) +
        kLineEnd;
    entry += kLineEnd;
    return entry;
}

std::string SystemErrorText(int error) {
    return std::generic_category().message(error);
}

// Owns an open file descriptor.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }

    int Get() const { return fd_; }

    // Closes now and reports the error close() gives (0 when none).
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

} // namespace

std::string DefaultDescription(int32_t code) {
    switch (code) {
    case 0:
        return "Unknown Error";
    case 1:
        return "Exceed Array's bound";
    default:
        return {};
    }
}

std::optional<std::string> AppendEntry(const std::string& fileName, int32_t code,
                                       const std::string& source, const std::string& description) {
    const std::string entry = FormatEntry(code, source, description);
    const std::string path = LogDirectory() + fileName;

    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (file.Get() < 0) return SystemErrorText(errno);

    size_t written = 0;
    while (written < entry.size()) {
        const ssize_t n = ::write(file.Get(), entry.data() + written, entry.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemErrorText(errno);
        }
        written += static_cast<size_t>(n);
    }
    if (const int error = file.Close(); error != 0) return SystemErrorText(error);
    return std::nullopt;
}

std::optional<std::string> ClearLog(const std::string& fileName) {
    const std::string path = LogDirectory() + fileName;
    if (::unlink(path.c_str()) == 0) return std::nullopt;
    if (errno == ENOENT) return "Can't open " + path;
    return SystemErrorText(errno);
}

} // namespace velmora::log
