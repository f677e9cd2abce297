#include "Workspace.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace velmora::stress {

Workspace::Workspace(const std::string& given, const std::string& prefix) : keep_(!given.empty()) {
    if (!given.empty()) {
        std::error_code error;
        std::filesystem::create_directories(given, error);
        if (error || !std::filesystem::is_directory(given))
            throw std::runtime_error("cannot use the folder " + given);
        path_ = std::filesystem::absolute(given).string();
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

Workspace::~Workspace() {
    if (keep_) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace velmora::stress
