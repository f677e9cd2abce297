#include "tests/client_admin/SheetDriver.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtGlobal>

#include "client/admin/AddVersionDialog.h"
#include "client/admin/ClassificationPage.h"
#include "client/admin/EnterNameDialog.h"
#include "client/admin/ProductSheet.h"
#include "client/admin/ProductionPage.h"
#include "client/admin/RoleAssignPage.h"
#include "client/admin/VersionPage.h"
#include "client/config/OleDate.h"
#include "client/widgets/NullableDateTimeEdit.h"

namespace tarnwick::test {

using namespace tarnwick::admin;

namespace {
void FillVersionDialog(AddVersionDialog* dialog, const QString& name, const QString& description,
                       QDate released) {
    if (!dialog) qFatal("the Add Version dialog did not open");
    dialog->nameEdit()->setText(name);
    dialog->descriptionEdit()->setText(description);
    dialog->releaseDateEdit()->setValue(released.isValid() ? OleDateFromDate(released) : 0.0);
    dialog->accept();
}
} // namespace

void AddVersion(VersionPage* page, const QString& name, const QString& description,
                QDate released) {
    page->addButton()->click();
    FillVersionDialog(page->versionDialog(), name, description, released);
}

bool SelectVersion(VersionPage* page, const QString& name) {
    page->list()->clearSelection();
    for (int i = 0; i < page->list()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = page->list()->topLevelItem(i);
        if (row->text(0) != name) continue;
        row->setSelected(true);
        return true;
    }
    return false;
}

void EditSelectedVersion(VersionPage* page, const QString& name, const QString& description,
                         QDate released) {
    page->editButton()->click();
    FillVersionDialog(page->versionDialog(), name, description, released);
}

QStringList ListedVersions(const VersionPage* page) {
    QStringList names;
    for (int i = 0; i < page->list()->topLevelItemCount(); ++i)
        names.append(page->list()->topLevelItem(i)->text(0));
    return names;
}

void AddClassification(ClassificationPage* page, const QString& name) {
    page->addButton()->click();
    EnterNameDialog* dialog = page->nameDialog();
    if (!dialog) qFatal("the Enter Name dialog did not open");
    dialog->nameEdit()->setText(name);
    dialog->accept();
}

bool SelectClassification(ClassificationPage* page, const QString& name) {
    const QList<QListWidgetItem*> found = page->list()->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    page->list()->setCurrentItem(found.first());
    return true;
}

void RenameSelectedClassification(ClassificationPage* page, const QString& name) {
    page->editButton()->click();
    EnterNameDialog* dialog = page->nameDialog();
    if (!dialog) qFatal("the Enter Name dialog did not open");
    dialog->nameEdit()->setText(name);
    dialog->accept();
}

QStringList ListedClassifications(const ClassificationPage* page) {
    QStringList names;
    for (int i = 0; i < page->list()->count(); ++i)
        names.append(page->list()->item(i)->text());
    return names;
}

bool CheckRole(RoleAssignPage* page, const QString& name, bool checked) {
    const QList<QListWidgetItem*> found = page->list()->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    found.first()->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

QStringList ListedRoles(const RoleAssignPage* page) {
    QStringList names;
    for (int i = 0; i < page->list()->count(); ++i)
        names.append(page->list()->item(i)->text());
    return names;
}

QStringList CheckedRoles(const RoleAssignPage* page) {
    QStringList names;
    for (int i = 0; i < page->list()->count(); ++i)
        if (page->list()->item(i)->checkState() == Qt::Checked)
            names.append(page->list()->item(i)->text());
    return names;
}

void WalkToRolePage(ProductSheet* sheet, const QString& name, const QString& classification) {
    sheet->productionPage()->nameEdit()->setText(name);
    sheet->next();
    sheet->next();
    AddClassification(sheet->classificationPage(), classification);
    sheet->next();
    if (sheet->currentPage() != sheet->roleAssignPage()) qFatal("the role page was not reached");
}

} // namespace tarnwick::test
