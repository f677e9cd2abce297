#pragma once
// Extracts a zip archive into a folder, entry by entry and in pieces, giving each extracted file
// the entry's date and time (taken as local time). Entry names never reach outside the output
// folder: absolute names and ".." parts are refused.
#include <string>

struct tm_unz_s; // minizip's entry date

namespace velmora::engine {

class CUnzipper {
  public:
    CUnzipper() = default;
    ~CUnzipper(); // closes an open archive
    CUnzipper(const CUnzipper&) = delete;
    CUnzipper& operator=(const CUnzipper&) = delete;

    // Opens the archive at `path` for reading. Unless an output folder is set, entries go to a
    // folder named as the archive without its extension.
    bool OpenZip(const std::string& path);

    // Fails when `folder` exists and is no folder; otherwise creates it with its missing parents.
    bool SetOutputFolder(const std::string& folder);

    // Extracts every entry, replacing files of the same name. With ignoreFolders each file is
    // written straight into the output folder under its name and extension; otherwise under its
    // path in the archive. Stops at the first failure; a partly written file is removed.
    bool UnzipAll(bool ignoreFolders);

    bool CloseZip();

    bool IsOpen() const { return archive_ != nullptr; }
    const std::string& OutputFolder() const { return outputFolder_; }
    // Why the last operation failed.
    const std::string& LastError() const { return lastError_; }

  private:
    bool Failed(std::string reason);
    bool ExtractCurrent(bool ignoreFolders);
    bool WriteCurrent(const std::string& target, const ::tm_unz_s& entryTime);

    void* archive_ = nullptr; // minizip's unzFile
    std::string archivePath_;
    std::string outputFolder_;
    std::string lastError_;
};

} // namespace velmora::engine
