#pragma once
// Sessions and database reads for the administration dialog tests.
#include <QSet>
#include <QString>
#include <QStringList>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

// A new session logged in as the user, with no role chosen; fails the test program when it
// cannot be opened.
ComPtr<IExeContext> LoginSession(const QString& path, const QString& login,
                                 const QString& password);
using RightSetter = HRESULT (STDMETHODCALLTYPE IRight::*)(LONG);
// As Admin with the role of that name current; the role is made (with every permission but the
// withheld one, held by Admin) when the database has none of that name.
ComPtr<IExeContext> AdminSession(const QString& path,
                                 const QString& roleName = QStringLiteral("Administrator"),
                                 RightSetter withheld = nullptr);

// The ID of the role or user with that name, 0 when there is none.
LONG RoleID(IExeContext* session, const QString& roleName);
LONG UserIDByLogin(IExeContext* session, const QString& login);
// Binds the role to the product through the administration object.
void BindRole(IExeContext* session, LONG roleID, LONG productID);
// A new role of no product (as Admin).
LONG AddRole(IExeContext* session, const QString& name);

// What the database holds about one product, read through a fresh session.
struct StoredProduct {
    LONG id = 0;
    QString name;
    QString description;
    QStringList versions;            // in list order
    QList<LONG> versionIDs;          // same order
    QList<DATE> releaseDates;        // same order
    QStringList versionDescriptions; // same order
    QStringList classifications;     // in set order
    QList<LONG> classificationIDs;   // same order
    QSet<LONG> roles;
};
// The product of that name, id 0 when there is none.
StoredProduct ReadProduct(const QString& path, const QString& name);
QStringList ProductNames(const QString& path);
// Classification IDs assigned to the user for the product.
QSet<LONG> UserClassifications(const QString& path, LONG userID, LONG productID);

} // namespace tarnwick::test
