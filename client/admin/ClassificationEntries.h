#pragma once
// The classifications of the product sheet's classification page: the product's classifications
// as the page shows them, with what the user changed. apply() stores the changes through the
// product's classification set and marks each one done as the engine accepts it, so that applying
// again after a refusal does not repeat what was already stored.
#include <QList>
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick::admin {

struct ClassificationEntry {
    enum State { Unchanged = 0, Added = 1, Deleted = 2, Edited = 3 };

    LONG id = 0; // 0 until stored
    QString name;
    State state = Added;
};

class ClassificationEntries {
  public:
    // The classifications of the set, unchanged. Raises EngineFailure.
    void load(IClassificationSet* set);

    const QList<ClassificationEntry>& entries() const { return entries_; }
    bool isShown(int index) const {
        return entries_.at(index).state != ClassificationEntry::Deleted;
    }
    // How many classifications the product has once the changes are applied.
    int shownCount() const;

    void add(const QString& name);
    void rename(int index, const QString& name);
    void remove(int index);

    // Adds new classifications, removes deleted ones by ID and renames edited ones, in the order
    // of the entries; set must already have the session. Raises EngineFailure.
    void apply(IClassificationSet* set);

  private:
    QList<ClassificationEntry> entries_;
};

} // namespace tarnwick::admin
