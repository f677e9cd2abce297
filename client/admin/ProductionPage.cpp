#include "client/admin/ProductionPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace texts = admin_texts::sheet;

ProductionPage::ProductionPage(MessageSink& messages, QWidget* parent)
    : QWizardPage(parent), messages_(messages), name_(new QLineEdit(this)),
      description_(new QPlainTextEdit(this)) {
    setTitle(Caption(texts::kProductionTitle));
    description_->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CaptionFor(name_, texts::kProductName, this));
    layout->addWidget(name_);
    layout->addWidget(CaptionFor(description_, texts::kProductDescription, this));
    layout->addWidget(description_);
}

void ProductionPage::setProduct(const QString& name, const QString& description) {
    name_->setText(name);
    description_->setPlainText(description);
}

QString ProductionPage::name() const {
    return name_->text();
}

QString ProductionPage::description() const {
    return description_->toPlainText();
}

bool ProductionPage::check() {
    if (!name_->text().isEmpty()) return true;
    messages_.Inform(this, Caption(texts::kEmptyName));
    name_->setFocus();
    return false;
}

} // namespace tarnwick::admin
