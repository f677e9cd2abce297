#pragma once
// Second page of the login wizard: the user makes one of their roles current, or one version of
// a product of their roles active.
#include <QWizardPage>

#include "client/adapter/EngineCall.h"

class QCheckBox;
class QListWidget;
class QRadioButton;

namespace tarnwick {

class MessageSink;

class SelectionPage : public QWizardPage {
    Q_OBJECT
  public:
    SelectionPage(IExeContext* session, MessageSink& messages, QWidget* parent = nullptr);

    // Fills the role, product and version lists from the logged-in user's roles.
    void initializePage() override;
    // Makes the chosen role current or the chosen version active; the administrator may
    // finish without a choice. Shows why and keeps the page when nothing usable is chosen.
    bool validatePage() override;

    // True while the version lists are shown rather than the role list.
    bool versionMode() const;
    void setVersionMode(bool on);
    // The mode in which the page was last finished successfully.
    bool endedInVersionMode() const { return endedInVersionMode_; }

    QListWidget* productList() const { return products_; }
    QListWidget* versionList() const { return versions_; }
    QListWidget* roleList() const { return roles_; }
    QCheckBox* keepAsDefault() const { return keepAsDefault_; }

  private:
    void fillLists();
    void addVersionsOf(IProduct* product);
    void showProductVersions(LONG productID);
    void showModeLists();
    bool isAdministrator() const;
    bool choose();

    IExeContext* session_;
    MessageSink& messages_;
    QRadioButton* versionMode_;
    QRadioButton* roleMode_;
    QListWidget* products_;
    QListWidget* versions_;
    QListWidget* roles_;
    QCheckBox* keepAsDefault_;
    // The products of the user's roles, in role order, walked again when another is chosen.
    ComPtr<IProductSet> productSet_;
    bool filling_ = false;
    bool endedInVersionMode_ = true;
};

} // namespace tarnwick
