#include "JournalFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <system_error>

namespace velmora::stress {

JournalWriter::JournalWriter(const std::string& path, bool durable)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600)),
      durable_(durable) {
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "open " + path);
}

JournalWriter::~JournalWriter() {
    ::close(fd_);
}

void JournalWriter::Append(const JournalRecord& record) {
    const std::string line = record.Format() + "\n";
    size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::system_error(errno, std::generic_category(), "write journal");
        written += static_cast<size_t>(n);
    }
    if (durable_ && ::fdatasync(fd_) != 0)
        throw std::system_error(errno, std::generic_category(), "sync journal");
}

JournalContents ReadJournal(const std::string& path) {
    JournalContents contents;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (::access(path.c_str(), F_OK) != 0) return contents;
        throw std::system_error(errno, std::generic_category(), "read " + path);
    }
    std::string line;
    while (std::getline(in, line)) {
        // A last line without its line break was cut short by a kill.
        if (in.eof()) {
            ++contents.unreadableLines;
            break;
        }
        if (auto record = JournalRecord::Parse(line)) {
            contents.records.push_back(std::move(*record));
        } else {
            ++contents.unreadableLines;
        }
    }
    return contents;
}

} // namespace velmora::stress
