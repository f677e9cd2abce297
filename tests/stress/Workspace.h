#pragma once
// The folder a run works in: a given one, or a new private one under the temporary folder that
// is removed again at the end unless it is to be kept.
#include <string>

namespace velmora::stress {

class Workspace {
  public:
    // `given` empty: a new folder named after `prefix`. Otherwise that folder, created when
    // missing; a given folder is never removed. Throws std::runtime_error.
    Workspace(const std::string& given, const std::string& prefix);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const std::string& Path() const { return path_; }
    std::string Child(const std::string& name) const { return path_ + "/" + name; }
    void Keep() { keep_ = true; }

  private:
    std::string path_;
    bool keep_;
};

} // namespace velmora::stress
