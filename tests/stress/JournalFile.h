#pragma once
// Journals on disk: one record per line, appended by one process and read by another. Every
// record reaches the operating system before Append returns, so it survives the writer being
// killed; a line cut short by a kill is ignored on reading.
#include <string>
#include <vector>

#include "JournalRecord.h"

namespace velmora::stress {

class JournalWriter {
  public:
    // Opens (creating) the file for appending. `durable` also forces each record to the disk.
    // Throws std::system_error.
    JournalWriter(const std::string& path, bool durable);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Writes the record and its line break with one system call. Throws std::system_error.
    void Append(const JournalRecord& record);

  private:
    int fd_;
    bool durable_;
};

struct JournalContents {
    std::vector<JournalRecord> records;
    int unreadableLines = 0; // lines that are not records (a torn last line among them)
};

// Reads every complete line of the file; a missing file reads as empty. Throws
// std::system_error when the file exists but cannot be read.
JournalContents ReadJournal(const std::string& path);

} // namespace velmora::stress
