#pragma once
// The one progress line of `velmora copy` on a terminal: what is being done to which table and
// how many of its rows are done, rewritten in place at most every tenth of a second. Nothing is
// shown when stderr is not a terminal.
#include <chrono>
#include <cstdint>
#include <string>

namespace velmora::tool {

class CopyProgress {
  public:
    CopyProgress();
    ~CopyProgress(); // ends the line
    CopyProgress(const CopyProgress&) = delete;
    CopyProgress& operator=(const CopyProgress&) = delete;

    // A new step ("Copying", "tBugReport", its row count); shown at once.
    void Begin(const std::string& doing, const std::string& table, uint64_t total);
    void Done(uint64_t rows);

  private:
    void Show(uint64_t rows);

    bool shown_;
    std::string label_;
    uint64_t total_ = 0;
    size_t width_ = 0; // of the longest line shown, to blank what a shorter one leaves
    std::chrono::steady_clock::time_point last_;
};

} // namespace velmora::tool
