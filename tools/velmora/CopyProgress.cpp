#include "CopyProgress.h"

#include <unistd.h>

#include <cstdio>

namespace velmora::tool {

CopyProgress::CopyProgress() : shown_(isatty(STDERR_FILENO)) {}

CopyProgress::~CopyProgress() {
    if (shown_ && width_ > 0) std::fputc('\n', stderr);
}

void CopyProgress::Begin(const std::string& doing, const std::string& table, uint64_t total) {
    label_ = doing + " " + table;
    total_ = total;
    Show(0);
}

void CopyProgress::Done(uint64_t rows) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (rows < total_ && now - last_ < std::chrono::milliseconds(100)) return;
    Show(rows);
}

void CopyProgress::Show(uint64_t rows) {
    if (!shown_) return;
    last_ = std::chrono::steady_clock::now();
    char line[512];
    const int length = std::snprintf(line, sizeof line, "%s: %llu / %llu rows", label_.c_str(),
                                     static_cast<unsigned long long>(rows),
                                     static_cast<unsigned long long>(total_));
    const size_t size = length < 0 ? 0 : static_cast<size_t>(length);
    const int pad = width_ > size ? static_cast<int>(width_ - size) : 0;
    std::fprintf(stderr, "\r%s%*s", line, pad, "");
    std::fflush(stderr);
    if (size > width_) width_ = size;
}

} // namespace velmora::tool
