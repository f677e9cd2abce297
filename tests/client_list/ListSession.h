#pragma once
// A logged-in engine session over a demo database for the list's tests, and small bug helpers.
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

struct ListSession {
    ComPtr<IExeContext> context;
    ComPtr<IBugSet> bugs;
    LONG versionID = 0;
};

// Opens the database, logs mhart in and makes versionID active (0: the version with the most
// bugs), then opens its bug list.
ListSession OpenListSession(const QString& database, LONG versionID = 0);

// A new bug of the version with the given description and status, stored through bugs.
ComPtr<IBug> StoreBug(IBugSet* bugs, LONG versionID, const QString& description,
                      const QString& status = QStringLiteral("New"));

// Every bug ID of the set, in its order.
QList<LONG> IdsOf(IBugSet* bugs);

} // namespace tarnwick::test
