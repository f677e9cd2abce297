#pragma once
// One private directory per fuzzing process (mode 0700, under $TMPDIR or /tmp), removed with
// everything in it when the process exits. The engine's own temporary folders ($TMPDIR) and its
// error log are sent into it, so that a target can check after every input that nothing was left
// behind, and so that a run never touches a file outside it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::fuzz {

class Scratch {
  public:
    // The process's scratch directory, made on the first call.
    static Scratch& Get();

    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch();

    const std::filesystem::path& Root() const { return root_; }
    // The folder $TMPDIR names from now on: where the engine makes its private folders.
    std::filesystem::path EngineTemp() const { return root_ / "tmp"; }
    // Failing inputs are logged on every run; dropping the log keeps it from growing without end.
    void DiscardErrorLog() const;

  private:
    Scratch();
    std::filesystem::path root_;
};

// Every path under dir, relative to it, in sorted order (folders too, with a trailing '/').
std::vector<std::string> Listing(const std::filesystem::path& dir);

std::string ReadBytes(const std::filesystem::path& path);
// Replaces the file's content; throws std::runtime_error when it cannot be written.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// A fresh seed database at path with a few bugs (texts with quotes, dates, NULLs) and one
// attachment row; the path must not exist yet. Throws std::runtime_error on failure.
void MakeSampleDatabase(const std::filesystem::path& path);

} // namespace velmora::fuzz
