#pragma once
// The product sheet: a product's name and description, versions, classifications and roles on
// four pages. For a new product ("Add Production") it is a wizard whose Finish stores the
// product; for a stored one ("Edit Production Property") the same pages are tabs and OK writes
// the changes. The pages keep every change until then; a refusal of the engine is shown and
// leaves the sheet open, with what was already stored marked as done.
#include <QWizard>

#include "client/adapter/EngineCall.h"

class QTabWidget;

namespace tarnwick {
class MessageSink;
}

namespace tarnwick::admin {

class ClassificationPage;
class ProductionPage;
class RoleAssignPage;
class VersionPage;

class ProductSheet : public QWizard {
    Q_OBJECT
  public:
    // "Add Production": a wizard for a new product.
    ProductSheet(ComPtr<IExeContext> session, MessageSink& messages, QWidget* parent = nullptr);
    // "Edit Production Property": the product at index of products, a product set the session
    // handed out (its Update writes the product).
    ProductSheet(ComPtr<IExeContext> session, ComPtr<IProductSet> products, LONG index,
                 MessageSink& messages, QWidget* parent = nullptr);

    bool isWizard() const { return !products_; }

    // Reads the product and the roles, then shows the sheet. When they cannot be read the
    // engine's message is shown and the sheet ends as rejected without appearing.
    void open() override;
    // Finish or OK: checks the pages, then stores; stays open when a check or the engine says no.
    void done(int result) override;

    ProductionPage* productionPage() const { return production_; }
    VersionPage* versionPage() const { return versions_; }
    ClassificationPage* classificationPage() const { return classifications_; }
    RoleAssignPage* roleAssignPage() const { return roles_; }
    // The tabs of the property sheet; null for the wizard.
    QTabWidget* tabs() const { return tabs_; }
    // The product being edited, or the new one once it has been created.
    ComPtr<IProduct> product() const { return product_; }

  private:
    void buildPages();
    void load();
    bool checkPages();
    bool store();
    void storeNew();
    void storeChanges();
    void storeClassificationsAndRoles();
    void refreshPages();

    ComPtr<IExeContext> session_;
    ComPtr<IProductSet> products_;
    LONG index_ = -1;
    MessageSink& messages_;
    ComPtr<IProduct> product_;
    bool stored_ = false; // the new product has been added to the database
    ProductionPage* production_ = nullptr;
    VersionPage* versions_ = nullptr;
    ClassificationPage* classifications_ = nullptr;
    RoleAssignPage* roles_ = nullptr;
    QTabWidget* tabs_ = nullptr;
};

} // namespace tarnwick::admin
