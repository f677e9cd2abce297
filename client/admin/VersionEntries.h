#pragma once
// The versions of the product sheet's version page: the product's versions as the page shows
// them, with what the user changed. Nothing reaches the product until apply(), which hands each
// change to the product object and marks it done, so that applying again after a failure does
// not repeat what was already done.
#include <QList>
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick::admin {

struct VersionEntry {
    enum State { Unchanged = 0, Added = 1, Deleted = 2, Edited = 3 };

    QString name;
    QString description;
    DATE releaseDate = 0;
    State state = Added;
    // The version on the product, once it is there (read from it, or added by apply()).
    ComPtr<IVersion> version;
};

class VersionEntries {
  public:
    // The product's versions in list order, unchanged. Raises EngineFailure.
    void load(IProduct* product);

    const QList<VersionEntry>& entries() const { return entries_; }
    // Entries the page lists (deleted ones are kept only until they are applied).
    bool isShown(int index) const { return entries_.at(index).state != VersionEntry::Deleted; }

    void add(const QString& name, const QString& description, DATE releaseDate);
    // New values for an entry; a version already on the product becomes edited.
    void edit(int index, const QString& name, const QString& description, DATE releaseDate);
    // An entry not yet on the product is dropped; one that is becomes deleted.
    void remove(int index);

    // Removes deleted versions from the product (by their position in its list), writes edited
    // ones and adds new ones, in the order of the entries; only the product object changes.
    // Raises EngineFailure; the entries applied before the failure stay done.
    void apply(IProduct* product);

  private:
    QList<VersionEntry> entries_;
};

// The position of version in the product's list, -1 when it is not there. Raises EngineFailure.
LONG VersionIndex(IProduct* product, IVersion* version);

} // namespace tarnwick::admin
