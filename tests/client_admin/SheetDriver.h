#pragma once
// Drives the pages of the product sheet the way a user does: through the pages' buttons and the
// small dialogs they open.
#include <QDate>
#include <QString>
#include <QStringList>

namespace tarnwick::admin {
class ClassificationPage;
class ProductSheet;
class RoleAssignPage;
class VersionPage;
} // namespace tarnwick::admin

namespace tarnwick::test {

// "&Add" on the version page, the "Add Version" dialog filled and accepted.
void AddVersion(admin::VersionPage* page, const QString& name, const QString& description,
                QDate released);
// Selects the listed version of that name; false when it is not listed.
bool SelectVersion(admin::VersionPage* page, const QString& name);
// "&Edit" on the selected version, the dialog given the new values and accepted.
void EditSelectedVersion(admin::VersionPage* page, const QString& name, const QString& description,
                         QDate released);
QStringList ListedVersions(const admin::VersionPage* page);

void AddClassification(admin::ClassificationPage* page, const QString& name);
bool SelectClassification(admin::ClassificationPage* page, const QString& name);
void RenameSelectedClassification(admin::ClassificationPage* page, const QString& name);
QStringList ListedClassifications(const admin::ClassificationPage* page);

// Ticks or clears the listed role of that name; false when it is not listed.
bool CheckRole(admin::RoleAssignPage* page, const QString& name, bool checked);
QStringList ListedRoles(const admin::RoleAssignPage* page);
QStringList CheckedRoles(const admin::RoleAssignPage* page);

// Names the product on the first page and goes on to the classification page, adding one
// classification there and going on to the role page.
void WalkToRolePage(admin::ProductSheet* sheet, const QString& name, const QString& classification);

} // namespace tarnwick::test
