#include "client/options/OptionsGeneralPage.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "client/config/ClientConfig.h"
#include "client/options/OptionsTexts.h"
#include "client/options/ProbeSession.h"
#include "client/server/ServerDataSource.h"
#include "client/widgets/IdListWidget.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

using namespace options_texts;

namespace {

// A control's name for screen readers: its caption without the mnemonic marker.
QString SpokenName(const char* caption) {
    return QString::fromLatin1(caption).remove(QLatin1Char('&'));
}

QCheckBox* CheckBox(const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setAccessibleName(SpokenName(caption));
    return box;
}

QPushButton* Button(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setAccessibleName(SpokenName(caption));
    return button;
}

QRadioButton* Radio(const char* caption, QWidget* parent) {
    auto* radio = new QRadioButton(QString::fromLatin1(caption), parent);
    radio->setAccessibleName(SpokenName(caption));
    return radio;
}

QLineEdit* Edit(const char* caption, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(QString::fromLatin1(caption));
    return edit;
}

LONG EntryID(const QListWidgetItem* item) {
    return static_cast<LONG>(item->data(Qt::UserRole).toInt());
}

// The item data of the selected entry, or nothing when none is selected.
std::optional<LONG> ChosenID(const QListWidget* list) {
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    if (chosen.isEmpty()) return std::nullopt;
    return EntryID(chosen.first());
}

// Selects the entry whose item data is id; false when there is none.
bool SelectEntry(QListWidget* list, LONG id) {
    for (int row = 0; row < list->count(); ++row) {
        if (EntryID(list->item(row)) != id) continue;
        list->setCurrentRow(row);
        return true;
    }
    return false;
}

void SelectNothing(QListWidget* list) {
    list->setCurrentRow(-1);
    list->clearSelection();
}

// Restores the normal cursor when the work is done, however it ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

OptionsGeneralPage::OptionsGeneralPage(MessageSink& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
    defaultDatabase_ = CheckBox(kDefaultDatabase, this);
    auto* pathLabel = new QLabel(QString::fromLatin1(kDatabasePath), this);
    databasePath_ = Edit(kDatabasePath, this);
    pathLabel->setBuddy(databasePath_);
    browse_ = Button(kBrowse, this);

    defaultLogin_ = CheckBox(kDefaultLogin, this);
    loginName_ = Edit(kLoginName, this);
    password_ = Edit(kPassword, this);
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(kPasswordMaxLength);
    // Never shown: passwords are always saved, as the configuration expects the page to say.
    savePassword_ = CheckBox(kSavePassword, this);
    savePassword_->setChecked(true);
    savePassword_->hide();

    defaultRoleOrProduct_ = CheckBox(kDefaultRoleOrProduct, this);
    roleMode_ = Radio(kRoleMode, this);
    productMode_ = Radio(kProductMode, this);
    modes_ = new QButtonGroup(this);
    modes_->addButton(roleMode_);
    modes_->addButton(productMode_);
    productMode_->setChecked(true);
    roles_ = NewIdList(kRoleList, this);
    products_ = NewIdList(kProductList, this);
    versions_ = NewIdList(kVersionList, this);
    test_ = Button(kTest, this);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(databasePath_, 1);
    pathRow->addWidget(browse_);
    auto* login = new QFormLayout;
    login->addRow(QString::fromLatin1(kLoginName), loginName_);
    login->addRow(QString::fromLatin1(kPassword), password_);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(roleMode_);
    modeRow->addWidget(productMode_);
    modeRow->addStretch(1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(roles_);
    lists->addWidget(products_);
    lists->addWidget(versions_);
    auto* testRow = new QHBoxLayout;
    testRow->addStretch(1);
    testRow->addWidget(test_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(defaultDatabase_);
    layout->addWidget(pathLabel);
    layout->addLayout(pathRow);
    layout->addWidget(defaultLogin_);
    layout->addLayout(login);
    layout->addWidget(savePassword_);
    layout->addWidget(defaultRoleOrProduct_);
    layout->addLayout(modeRow);
    layout->addLayout(lists, 1);
    layout->addLayout(testRow);

    connect(defaultDatabase_, &QCheckBox::toggled, this, &OptionsGeneralPage::applyEnablingChain);
    connect(defaultLogin_, &QCheckBox::toggled, this, &OptionsGeneralPage::applyEnablingChain);
    connect(defaultRoleOrProduct_, &QCheckBox::toggled, this,
            &OptionsGeneralPage::onRoleOrProductToggled);
    connect(roleMode_, &QRadioButton::toggled, this, &OptionsGeneralPage::applyEnablingChain);
    connect(browse_, &QPushButton::clicked, this, &OptionsGeneralPage::browse);
    connect(test_, &QPushButton::clicked, this, &OptionsGeneralPage::runTest);
    // Another database or another user has other roles and products.
    for (QLineEdit* edit : {databasePath_, loginName_, password_})
        connect(edit, &QLineEdit::textEdited, this, &OptionsGeneralPage::forgetFilledLists);
    connect(products_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* current) {
        if (!loading_ && current) showVersionsOf(EntryID(current));
    });

    applyEnablingChain();
}

void OptionsGeneralPage::applyEnablingChain() {
    // Each box counts only while the boxes above it are on, so one pass from the top applies
    // the chain from whichever box changed downwards.
    const bool database = defaultDatabase_->isChecked();
    databasePath_->setEnabled(database);
    browse_->setEnabled(database);
    defaultLogin_->setEnabled(database);

    const bool login = database && defaultLogin_->isChecked();
    loginName_->setEnabled(login);
    password_->setEnabled(login);
    savePassword_->setEnabled(login);
    defaultRoleOrProduct_->setEnabled(login);

    const bool choice = login && defaultRoleOrProduct_->isChecked();
    roleMode_->setEnabled(choice);
    productMode_->setEnabled(choice);
    roles_->setEnabled(choice && roleMode_->isChecked());
    products_->setEnabled(choice && productMode_->isChecked());
    versions_->setEnabled(choice && productMode_->isChecked());
}

void OptionsGeneralPage::onRoleOrProductToggled(bool checked) {
    applyEnablingChain();
    if (checked && !loading_ && !listsFilled_) fillLists(false);
}

void OptionsGeneralPage::forgetFilledLists() {
    listsFilled_ = false;
}

void OptionsGeneralPage::load(const ClientConfig& config) {
    loading_ = true;
    defaultDatabase_->setChecked(config.UseDefaultDatabase != 0);
    databasePath_->setText(config.DatabasePath);
    defaultLogin_->setChecked(config.UseDefaultLogin != 0);
    loginName_->setText(config.LoginName);
    password_->setText(config.Password);
    defaultRoleOrProduct_->setChecked(config.UseDefaultRoleOrProduct != 0);
    (config.DefaultRoleID != 0 ? roleMode_ : productMode_)->setChecked(true);
    storedRoleID_ = config.DefaultRoleID;
    storedVersionID_ = config.DefaultVersionID;
    for (QListWidget* list : {roles_, products_, versions_})
        list->clear();
    versionsByProduct_.clear();
    listsFilled_ = false;
    applyEnablingChain();
    loading_ = false;
    if (defaultRoleOrProduct_->isChecked()) fillLists(true);
}

void OptionsGeneralPage::write(ClientConfig& config) const {
    config.UseDefaultDatabase = defaultDatabase_->isChecked() ? 1 : 0;
    config.DatabasePath = databasePath_->text();
    config.UseDefaultLogin = defaultLogin_->isChecked() ? 1 : 0;
    config.SavePassword = savePassword_->isChecked() ? 1 : 0;
    if (config.SavePassword == 0) password_->clear();
    config.LoginName = loginName_->text();
    config.Password = password_->text();
    config.UseDefaultRoleOrProduct = defaultRoleOrProduct_->isChecked() ? 1 : 0;
    if (roleMode_->isChecked()) {
        config.DefaultRoleID = ChosenID(roles_).value_or(0);
        config.DefaultVersionID = 0;
    } else {
        config.DefaultVersionID = ChosenID(versions_).value_or(0);
        config.DefaultRoleID = 0;
    }
}

void OptionsGeneralPage::fillLists(bool selectStored) {
    loading_ = true;
    for (QListWidget* list : {roles_, products_, versions_})
        list->clear();
    versionsByProduct_.clear();
    listsFilled_ = false;
    const bool filled = Attempt(
        [&] {
            const WaitCursor waiting;
            const ProbeSession session(databasePath_->text(), loginName_->text(), password_->text(),
                                       mainDatabase_);
            fillFrom(session.Get(), selectStored);
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    // A failed filling is tried again the next time the lists are asked for.
    listsFilled_ = filled;
    loading_ = false;
}

void OptionsGeneralPage::fillFrom(IExeContext* session, bool selectStored) {
    // Roles first, then products; each entry is shown as soon as it is read, so a failure part
    // way leaves the lists as far as they were filled.
    if (const ComPtr<IUser> user = Object(session, &IExeContext::get_CurUser)) {
        if (const ComPtr<IRoleSet> roleSet = Object(user.Get(), &IUser::get_RoleSet)) {
            const LONG count = Long(roleSet.Get(), &IRoleSet::get_Count);
            for (LONG i = 0; i < count; ++i) {
                const ComPtr<IRole> role = Item(roleSet.Get(), &IRoleSet::get_Item, i);
                AddIdEntry(roles_, Text(role.Get(), &IRole::get_Name),
                           Long(role.Get(), &IRole::get_ID));
            }
        }
    }
    if (selectStored && roleMode_->isChecked()) SelectEntry(roles_, storedRoleID_);

    std::optional<LONG> chosenProduct;
    const ComPtr<IProductSet> productSet = Object(session, &IExeContext::get_CurUserProductSet);
    const LONG productCount = productSet ? Long(productSet.Get(), &IProductSet::get_Count) : 0;
    for (LONG i = 0; i < productCount; ++i) {
        const ComPtr<IProduct> product = Item(productSet.Get(), &IProductSet::get_Item, i);
        const LONG productID = Long(product.Get(), &IProduct::get_ID);
        // The engine lists a product once per role of the user in it; once is enough here.
        if (versionsByProduct_.contains(productID)) continue;
        QList<VersionEntry> versions;
        const LONG versionCount = Long(product.Get(), &IProduct::get_VersionCount);
        for (LONG v = 0; v < versionCount; ++v) {
            const ComPtr<IVersion> version = Item(product.Get(), &IProduct::get_Version, v);
            versions.append(
                {Text(version.Get(), &IVersion::get_Name), Long(version.Get(), &IVersion::get_ID)});
        }
        AddIdEntry(products_, Text(product.Get(), &IProduct::get_Name), productID);
        versionsByProduct_.insert(productID, versions);
        if (chosenProduct) continue;
        const bool chosen = selectStored ? std::any_of(versions.begin(), versions.end(),
                                                       [&](const VersionEntry& version) {
                                                           return version.id == storedVersionID_;
                                                       })
                                         : !versions.isEmpty();
        if (!chosen) continue;
        chosenProduct = productID;
        showVersionsOf(productID);
    }
    if (selectStored && chosenProduct) {
        SelectEntry(products_, *chosenProduct);
        SelectEntry(versions_, storedVersionID_);
    }
}

void OptionsGeneralPage::showVersionsOf(LONG productID) {
    versions_->clear();
    for (const VersionEntry& version : versionsByProduct_.value(productID))
        AddIdEntry(versions_, version.name, version.id);
    SelectNothing(versions_);
}

bool OptionsGeneralPage::roleStepApplies() const {
    return defaultDatabase_->isChecked() && defaultLogin_->isChecked() &&
           defaultRoleOrProduct_->isChecked();
}

void OptionsGeneralPage::runTest() {
    const bool succeeded = Attempt(
        [&] {
            const WaitCursor waiting;
            const ProbeSession session(databasePath_->text(), loginName_->text(), password_->text(),
                                       mainDatabase_);
            // The start-up makes a role or version current only when it is asked to.
            if (!roleStepApplies()) return;
            if (roleMode_->isChecked())
                Check(session->SetCurRole(ChosenID(roles_).value_or(0)));
            else
                Check(session->SetActiveProduct(ChosenID(versions_).value_or(0)));
        },
        [](const EngineFailure&) {});
    messages_.Inform(this, QString::fromLatin1(succeeded ? kTestSucceeded : kTestFailed));
}

void OptionsGeneralPage::browse() {
    if (browseDialog_) {
        browseDialog_->raise();
        browseDialog_->activateWindow();
        return;
    }
    const QString current = databasePath_->text();
    auto* dialog = new QFileDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(
        {QString::fromLatin1(kDatabaseFilter), QString::fromLatin1(kAllFilesFilter)});
    // A server URI names no folder: the dialog then starts where it always does.
    if (!current.isEmpty() && !IsServerDataSource(current)) {
        dialog->setDirectory(QFileInfo(current).absolutePath());
        dialog->selectFile(current);
    }
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        databasePath_->setText(QDir::toNativeSeparators(file));
        forgetFilledLists();
    });
    browseDialog_ = dialog;
    dialog->open();
}

} // namespace tarnwick
