#include "client/attachments/PendingFiles.h"

#include <algorithm>

namespace tarnwick {

int PendingFiles::addStored(const QString& name, LONG id) {
    entries_.append(PendingFile{nextKey_, name, id, PendingFile::Stored});
    return nextKey_++;
}

int PendingFiles::addNew(const QString& path) {
    entries_.append(PendingFile{nextKey_, path, 0, PendingFile::ToAdd});
    return nextKey_++;
}

bool PendingFiles::remove(int key) {
    const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                    [key](const PendingFile& file) { return file.key == key; });
    if (entry == entries_.end() || entry->state == PendingFile::ToDelete) return false;
    if (entry->state == PendingFile::Stored && entry->id != 0)
        entry->state = PendingFile::ToDelete;
    else
        entries_.erase(entry); // nothing in the database to delete
    return true;
}

const PendingFile* PendingFiles::find(int key) const {
    for (const PendingFile& file : entries_)
        if (file.key == key) return &file;
    return nullptr;
}

bool PendingFiles::hasChanges() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const PendingFile& file) { return file.state != PendingFile::Stored; });
}

QList<LONG> PendingFiles::idsToDelete() const {
    QList<LONG> ids;
    for (const PendingFile& file : entries_)
        if (file.state == PendingFile::ToDelete) ids.append(file.id);
    return ids;
}

QStringList PendingFiles::pathsToAdd() const {
    QStringList paths;
    for (const PendingFile& file : entries_)
        if (file.state == PendingFile::ToAdd) paths.append(file.path);
    return paths;
}

} // namespace tarnwick
