#pragma once
// What the General page offers and fills in, read from the session once per editor run: the
// statuses the current role may set, the other lookup lists, the active product's
// classifications and versions, and who is working (the current user, the active version).
#include <QList>
#include <QString>
#include <QStringList>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// A named engine record offered in a list; the ID goes into the bug.
struct NamedId {
    QString name;
    LONG id = 0;
};

struct GeneralChoices {
    QStringList statuses;
    QStringList severities;
    QStringList priorities;
    QStringList reproducibilities;
    QList<NamedId> classifications;
    // The active product's versions, in the product's order.
    QList<NamedId> versions;
    LONG userId = 0;
    QString userName;
    QString activeVersionName;
};

// Reads every list from the session; raises EngineFailure with the engine's message when one
// cannot be read.
GeneralChoices LoadGeneralChoices(IExeContext* session);

} // namespace tarnwick
