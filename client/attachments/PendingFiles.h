#pragma once
// The attachment changes collected while a bug is edited: one entry per file the bug already
// has, plus the files the user added and the stored files the user deleted. Nothing reaches the
// database until the bug itself is stored; then the list is applied (ApplyPendingFiles).
//
// Every entry has a key of its own that never changes and is never reused within one list, so a
// row of the page can name exactly its entry: files added in this run all have the ID 0 and could
// not be told apart by it.
#include <QList>
#include <QString>
#include <QStringList>

#include <velmora/Com.h>

namespace tarnwick {

struct PendingFile {
    enum State { Stored = 0, ToAdd = 1, ToDelete = 2 };

    int key = 0;
    // The stored file's name, or the full path of a file to add.
    QString path;
    // The attachment's ID; 0 for a file not stored yet.
    LONG id = 0;
    State state = Stored;
};

class PendingFiles {
  public:
    // A file the bug already has; returns the entry's key.
    int addStored(const QString& name, LONG id);
    // A file to add when the bug is stored; returns the entry's key.
    int addNew(const QString& path);
    // The user deleted the row of this entry: a stored file is marked for deletion, a file added
    // in this run is dropped. False when no entry has the key or it is marked already.
    bool remove(int key);

    // The entry with the key, or nullptr.
    const PendingFile* find(int key) const;
    const QList<PendingFile>& entries() const { return entries_; }
    // Whether applying the list would change anything.
    bool hasChanges() const;
    // The IDs to delete and the paths to add, in the order they were collected.
    QList<LONG> idsToDelete() const;
    QStringList pathsToAdd() const;

  private:
    QList<PendingFile> entries_;
    int nextKey_ = 1;
};

} // namespace tarnwick
