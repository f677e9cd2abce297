#pragma once
// Writes a zip archive: each added file becomes one deflated entry (default level) carrying the
// file's local modification time and its attributes as the system reports them. Files are read
// in pieces, never whole.
#include <cstdint>
#include <string>

#include <velmora/Com.h>

namespace velmora::engine {

class CZipper {
  public:
    CZipper() = default;
    ~CZipper(); // closes an open archive
    CZipper(const CZipper&) = delete;
    CZipper& operator=(const CZipper&) = delete;

    // Opens `path` for writing: a new archive replacing any file there, or, with append, one
    // that adds to the existing archive. Relative file names are taken from rootFolder (the
    // archive's own folder when empty). Fails when an archive is open already.
    bool OpenZip(const std::string& path, const std::string& rootFolder = "", bool append = false);

    // Adds one file as a new entry. With ignoreFolders the entry is named by the file's name and
    // extension alone; otherwise by its path relative to the root folder (an absolute path must
    // lie under the root; no ".." is accepted).
    bool AddFileToZip(const std::string& path, bool ignoreFolders);

    // Writes the archive's directory and closes it; false when that fails or nothing was open.
    bool CloseZip();

    bool IsOpen() const { return archive_ != nullptr; }
    LONG FilesAdded() const { return filesAdded_; }
    uint64_t BytesRead() const { return bytesRead_; }
    // Why the last operation failed.
    const std::string& LastError() const { return lastError_; }

  private:
    bool Failed(std::string reason);
    // The entry name and the path to read for `path`, or false.
    bool ResolveEntry(const std::string& path, bool ignoreFolders, std::string* entryName,
                      std::string* filePath);

    void* archive_ = nullptr; // minizip's zipFile
    std::string rootFolder_;
    LONG filesAdded_ = 0;
    uint64_t bytesRead_ = 0;
    std::string lastError_;
};

} // namespace velmora::engine
