#pragma once
// Sessions and bugs for the editor tests: a demo user working on a product version, bugs stored
// through the bug set and read back, and rights changed through the administrator.
#include <QString>

#include <functional>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

inline const QString kProduct = QStringLiteral("Harbor Ledger");
inline const QString kVersion = QStringLiteral("2.1");

// A session logged in as the demo user (password login + "-demo"; Admin has none) with the
// version of the product active. A failure ends the test program.
ComPtr<IExeContext> WorkingSession(const QString& path, const QString& login,
                                   const QString& product = kProduct,
                                   const QString& version = kVersion);

// The ID of a user by login name, 0 when there is none.
LONG UserID(IExeContext* session, const QString& login);
// The ID of the active product's version with the name, 0 when there is none.
LONG VersionID(IExeContext* session, const QString& name);

// Stores the bug as a new one in the session's bug list and returns it as read back.
ComPtr<IBug> AddAndReadBack(IExeContext* session, IBug* bug);
// A new bug filled by fill, stored and read back.
ComPtr<IBug> StoredBug(IExeContext* session, const std::function<void(IBug*)>& fill);

// As Admin: changes one flag of the right of the role with this name.
void SetRoleFlag(const QString& path, const QString& roleName,
                 HRESULT (STDMETHODCALLTYPE IRight::*put)(LONG), LONG value);

} // namespace tarnwick::test
