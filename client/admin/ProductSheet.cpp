#include "client/admin/ProductSheet.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/admin/ClassificationPage.h"
#include "client/admin/ProductionPage.h"
#include "client/admin/RoleAssignPage.h"
#include "client/admin/VersionPage.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace texts = admin_texts::sheet;

namespace {
// The one page of the property sheet: the four pages as tabs.
class PropertyTabsPage : public QWizardPage {
  public:
    explicit PropertyTabsPage(QTabWidget* tabs) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(tabs);
    }
};
} // namespace

ProductSheet::ProductSheet(ComPtr<IExeContext> session, MessageSink& messages, QWidget* parent)
    : QWizard(parent), session_(std::move(session)), messages_(messages) {
    setWindowTitle(Caption(texts::kAddCaption));
    buildPages();
    addPage(production_);
    addPage(versions_);
    addPage(classifications_);
    addPage(roles_);
}

ProductSheet::ProductSheet(ComPtr<IExeContext> session, ComPtr<IProductSet> products, LONG index,
                           MessageSink& messages, QWidget* parent)
    : QWizard(parent), session_(std::move(session)), products_(std::move(products)), index_(index),
      messages_(messages) {
    setWindowTitle(Caption(texts::kEditCaption));
    buildPages();
    tabs_ = new QTabWidget;
    for (QWizardPage* page :
         {static_cast<QWizardPage*>(production_), static_cast<QWizardPage*>(versions_),
          static_cast<QWizardPage*>(classifications_), static_cast<QWizardPage*>(roles_)})
        tabs_->addTab(page, page->title());
    addPage(new PropertyTabsPage(tabs_));
    // A property sheet: OK and Cancel only.
    setButtonText(QWizard::FinishButton, Caption(texts::kOk));
    setButtonLayout({QWizard::Stretch, QWizard::FinishButton, QWizard::CancelButton});
}

void ProductSheet::buildPages() {
    production_ = new ProductionPage(messages_, this);
    versions_ = new VersionPage(messages_, this);
    classifications_ = new ClassificationPage(messages_, this);
    roles_ = new RoleAssignPage(this);
}

void ProductSheet::load() {
    LONG productID = 0;
    if (!isWizard()) {
        product_ = Item(products_.Get(), &IProductSet::get_Item, index_);
        productID = Long(product_.Get(), &IProduct::get_ID);
        production_->setProduct(Text(product_.Get(), &IProduct::get_Name),
                                Text(product_.Get(), &IProduct::get_Description));
        versions_->load(product_.Get());
        const ComPtr<IClassificationSet> classes =
            Object(product_.Get(), &IProduct::get_ClassificationSet);
        classifications_->load(classes.Get());
    }
    roles_->load(session_.Get(), product_.Get(), productID);
}

void ProductSheet::open() {
    if (!Attempt([&] { load(); },
                 [&](const EngineFailure& failure) {
                     messages_.Inform(parentWidget(), failure.text);
                 })) {
        QDialog::done(QDialog::Rejected);
        return;
    }
    QWizard::open();
}

void ProductSheet::done(int result) {
    if (result != QDialog::Accepted) {
        QWizard::done(result);
        return;
    }
    if (!checkPages() || !store()) return;
    // The pages were checked above; the wizard's own check of the current page is not needed.
    QDialog::done(result);
}

bool ProductSheet::checkPages() {
    for (QWizardPage* page :
         {static_cast<QWizardPage*>(production_), static_cast<QWizardPage*>(classifications_)}) {
        if (page->validatePage()) continue;
        if (tabs_) tabs_->setCurrentWidget(page);
        return false;
    }
    return true;
}

bool ProductSheet::store() {
    const bool stored =
        Attempt([&] { isWizard() ? storeNew() : storeChanges(); },
                [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    refreshPages();
    return stored;
}

void ProductSheet::storeNew() {
    if (!product_) product_ = Create<IProduct>(CLSID_Product, IID_IProduct);
    // Once the product is in the database a second Finish (after a refusal further on) must not
    // add it again: it goes on with the classifications and roles.
    if (!stored_) {
        Check(product_->put_Name(ToBstr(production_->name()).Get()));
        Check(product_->put_Description(ToBstr(production_->description()).Get()));
        versions_->entries().apply(product_.Get());
        const ComPtr<IProductSet> products = Object(session_.Get(), &IExeContext::get_ProductSet);
        Check(products->Add(product_.Get()));
        stored_ = true;
    }
    storeClassificationsAndRoles();
}

void ProductSheet::storeChanges() {
    Check(product_->put_Name(ToBstr(production_->name()).Get()));
    Check(product_->put_Description(ToBstr(production_->description()).Get()));
    versions_->entries().apply(product_.Get());
    storeClassificationsAndRoles();
    // Update writes the set's current product: make it this one again.
    const ComPtr<IProduct> current = Item(products_.Get(), &IProductSet::get_Item, index_);
    Check(products_->Update());
}

void ProductSheet::storeClassificationsAndRoles() {
    const ComPtr<IClassificationSet> classes =
        Object(product_.Get(), &IProduct::get_ClassificationSet);
    Check(classes->put_ExeContext(session_.Get()));
    classifications_->entries().apply(classes.Get());
    roles_->choices().apply(session_.Get(), product_.Get(), messages_, this);
}

void ProductSheet::refreshPages() {
    versions_->refresh();
    classifications_->refresh();
    roles_->refresh();
}

} // namespace tarnwick::admin
