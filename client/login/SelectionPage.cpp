#include "client/login/SelectionPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <optional>

#include "client/login/LoginPage.h"
#include "client/login/LoginTexts.h"
#include "client/widgets/IdListWidget.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

using namespace login_texts;

namespace {

// The item data of the selected entry, or nothing when no entry is selected.
std::optional<LONG> ChosenID(const QListWidget* list) {
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    if (chosen.isEmpty()) return std::nullopt;
    return static_cast<LONG>(chosen.first()->data(Qt::UserRole).toInt());
}

} // namespace

SelectionPage::SelectionPage(IExeContext* session, MessageSink& messages, QWidget* parent)
    : QWizardPage(parent), session_(session), messages_(messages) {
    setTitle(QString::fromLatin1(kSelectTitle));

    auto* group = new QGroupBox(QString::fromLatin1(kSelectGroup), this);
    versionMode_ = new QRadioButton(QString::fromLatin1(kVersionMode), group);
    roleMode_ = new QRadioButton(QString::fromLatin1(kRoleMode), group);
    versionMode_->setChecked(true);
    products_ = NewIdList(kProductList, group);
    versions_ = NewIdList(kVersionList, group);
    roles_ = NewIdList(kRoleList, group);
    keepAsDefault_ = new QCheckBox(QString::fromLatin1(kKeepAsDefault), group);

    auto* modes = new QHBoxLayout;
    modes->addWidget(versionMode_);
    modes->addWidget(roleMode_);
    auto* lists = new QHBoxLayout;
    lists->addWidget(products_);
    lists->addWidget(versions_);
    lists->addWidget(roles_);
    auto* inner = new QVBoxLayout(group);
    inner->addLayout(modes);
    inner->addLayout(lists);
    inner->addWidget(keepAsDefault_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);

    roles_->hide();
    keepAsDefault_->hide();

    connect(versionMode_, &QRadioButton::toggled, this, &SelectionPage::showModeLists);
    connect(products_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* current) {
        if (filling_ || !current) return;
        showProductVersions(static_cast<LONG>(current->data(Qt::UserRole).toInt()));
    });
}

bool SelectionPage::versionMode() const {
    return versionMode_->isChecked();
}

void SelectionPage::setVersionMode(bool on) {
    (on ? versionMode_ : roleMode_)->setChecked(true);
}

void SelectionPage::showModeLists() {
    const bool versions = versionMode();
    products_->setVisible(versions);
    versions_->setVisible(versions);
    roles_->setVisible(!versions);
}

void SelectionPage::initializePage() {
    fillLists();
}

void SelectionPage::fillLists() {
    filling_ = true;
    products_->clear();
    versions_->clear();
    roles_->clear();
    productSet_.Reset();
    // A failure part way leaves the lists as far as they were filled; the user can still
    // choose among them or go back.
    Attempt(
        [&] {
            productSet_ = Create<IProductSet>(CLSID_ProductSet, IID_IProductSet);
            const ComPtr<IUser> user = Object(session_, &IExeContext::get_CurUser);
            if (!user) return;
            const ComPtr<IRoleSet> roleSet = Object(user.Get(), &IUser::get_RoleSet);
            if (!roleSet) return;
            const LONG roleCount = Long(roleSet.Get(), &IRoleSet::get_Count);
            for (LONG i = 0; i < roleCount; ++i) {
                const ComPtr<IRole> role = Item(roleSet.Get(), &IRoleSet::get_Item, i);
                AddIdEntry(roles_, Text(role.Get(), &IRole::get_Name),
                           Long(role.Get(), &IRole::get_ID));
                const ComPtr<IProduct> product = Object(role.Get(), &IRole::get_Product);
                if (product) Check(productSet_->Append(product.Get()));
            }
            const LONG productCount = Long(productSet_.Get(), &IProductSet::get_Count);
            for (LONG i = 0; i < productCount; ++i) {
                const ComPtr<IProduct> product = Item(productSet_.Get(), &IProductSet::get_Item, i);
                AddIdEntry(products_, Text(product.Get(), &IProduct::get_Name),
                           Long(product.Get(), &IProduct::get_ID));
                if (i == 0) addVersionsOf(product.Get());
            }
        },
        [](const EngineFailure&) {});
    for (QListWidget* list : {products_, versions_, roles_})
        if (list->count() > 0) list->setCurrentRow(0);
    filling_ = false;
}

void SelectionPage::addVersionsOf(IProduct* product) {
    const LONG count = Long(product, &IProduct::get_VersionCount);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IVersion> version = Item(product, &IProduct::get_Version, i);
        AddIdEntry(versions_, Text(version.Get(), &IVersion::get_Name),
                   Long(version.Get(), &IVersion::get_ID));
    }
}

void SelectionPage::showProductVersions(LONG productID) {
    versions_->clear();
    if (!productSet_) return;
    Attempt(
        [&] {
            const LONG count = Long(productSet_.Get(), &IProductSet::get_Count);
            for (LONG i = 0; i < count; ++i) {
                const ComPtr<IProduct> product = Item(productSet_.Get(), &IProductSet::get_Item, i);
                if (Long(product.Get(), &IProduct::get_ID) != productID) continue;
                addVersionsOf(product.Get());
                return;
            }
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    versions_->setCurrentRow(-1);
    versions_->clearSelection();
}

bool SelectionPage::isAdministrator() const {
    // The session grants administrator standing only to the name typed exactly so; the stored
    // name alone would also match "admin" typed in other letter case.
    const QString typed = field(QString::fromLatin1(LoginPage::kLoginNameField)).toString();
    if (typed != QLatin1String(kAdministrator)) return false;
    const ComPtr<IUser> user = Object(session_, &IExeContext::get_CurUser);
    return user && Text(user.Get(), &IUser::get_LoginName) == QLatin1String(kAdministrator);
}

bool SelectionPage::choose() {
    if (isAdministrator()) return true;
    if (!versionMode()) {
        const std::optional<LONG> role = ChosenID(roles_);
        if (!role) {
            messages_.Inform(this, QString::fromLatin1(kNothingChosen));
            return false;
        }
        Check(session_->SetCurRole(*role));
        return true;
    }
    const std::optional<LONG> version = ChosenID(versions_);
    if (!ChosenID(products_) || !version) {
        messages_.Inform(this, QString::fromLatin1(kNothingChosen));
        return false;
    }
    if (*version < 0) {
        messages_.Inform(this, QString::fromLatin1(kBadVersion));
        return false;
    }
    Check(session_->SetActiveProduct(*version));
    return true;
}

bool SelectionPage::validatePage() {
    bool chosen = false;
    Attempt([&] { chosen = choose(); },
            [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    if (chosen) endedInVersionMode_ = versionMode();
    return chosen;
}

} // namespace tarnwick
