#pragma once
// Timing, memory and table printing for the benchmarks. Each measured piece of work runs in a
// child process of its own, so its peak resident memory is its own and not the largest seen so
// far in the run.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace velmora::bench {

struct Measurement {
    double milliseconds = -1; // -1: the work failed
    long peakKilobytes = 0;
};

// Runs setup (untimed) and then work (timed) in a forked child; reports the time through a pipe
// and the child's peak resident memory from wait4.
inline Measurement MeasureInChild(const std::function<bool()>& setup,
                                  const std::function<bool()>& work) {
    int channel[2];
    if (pipe(channel) != 0) return {};
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        close(channel[0]);
        double elapsed = -1;
        if (setup()) {
            const auto start = std::chrono::steady_clock::now();
            const bool ok = work();
            const auto end = std::chrono::steady_clock::now();
            if (ok) elapsed = std::chrono::duration<double, std::milli>(end - start).count();
        }
        const bool written = write(channel[1], &elapsed, sizeof elapsed) == sizeof elapsed;
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    Measurement result;
    if (read(channel[0], &result.milliseconds, sizeof result.milliseconds) !=
        sizeof result.milliseconds)
        result.milliseconds = -1;
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

// With `backends`, every row names the database it ran on (file or server) in a first column.
inline void PrintHeader(bool backends = false) {
    if (backends) std::printf("%-7s ", "db");
    std::printf("%-44s %8s %12s %12s %7s %10s %10s\n", "operation", "rows", "engine ms",
                "baseline ms", "ratio", "engine MB", "base MB");
}

inline void PrintRow(const std::string& operation, long rows, const Measurement& engine,
                     const Measurement& baseline, const char* backend = nullptr) {
    const double ratio = engine.milliseconds >= 0 && baseline.milliseconds > 0
                             ? engine.milliseconds / baseline.milliseconds
                             : 0;
    if (backend) std::printf("%-7s ", backend);
    std::printf("%-44s %8ld %12.1f %12.1f %6.2fx %10.1f %10.1f\n", operation.c_str(), rows,
                engine.milliseconds, baseline.milliseconds, ratio, engine.peakKilobytes / 1024.0,
                baseline.peakKilobytes / 1024.0);
    std::fflush(stdout);
}

} // namespace velmora::bench
