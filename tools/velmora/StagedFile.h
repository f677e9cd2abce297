#pragma once
// A new file made under a private name beside the name it is meant to have, and given that name
// only when it is complete: an interrupted or failed run never leaves a half-made file under the
// asked name, and never overwrites an existing one.
#include <string>

namespace velmora::tool {

class StagedFile {
  public:
    // Refuses (std::runtime_error) when target exists. Makes a private directory (mode 0700)
    // beside target to build in, and removes it again if the process is interrupted (SIGINT,
    // SIGTERM, SIGHUP) before Publish. One staged file at a time.
    explicit StagedFile(const std::string& target);
    // Removes the private directory and everything in it.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Where to build the file; it does not exist yet.
    const std::string& Path() const { return path_; }

    // Flushes the file to disk, gives it the target name (failing, and leaving everything as it
    // was, when that name has been taken meanwhile) and flushes the directory so that the name
    // survives a crash. Throws std::runtime_error on failure.
    void Publish();

  private:
    std::string target_;
    std::string directory_; // the private directory
    std::string path_;      // the file inside it
    bool published_ = false;
};

} // namespace velmora::tool
