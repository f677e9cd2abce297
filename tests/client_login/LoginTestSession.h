#pragma once
// Sessions for the login tests: a database opened by a new session object, and a user set up
// through the administrator when the demo team has no one with the needed roles.
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

// A new session on the database; fails the test program when it cannot be opened.
ComPtr<IExeContext> OpenSession(const QString& path);
// A new session logged in as the user.
ComPtr<IExeContext> LoginSession(const QString& path, const QString& login,
                                 const QString& password);
// As Admin: adds a role bound to no product (with a right granting nothing) and a user holding
// only that role.
void AddUserWithProductlessRole(const QString& path, const QString& login, const QString& password,
                                const QString& roleName);

} // namespace tarnwick::test
