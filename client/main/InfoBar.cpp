#include "client/main/InfoBar.h"

#include <QHBoxLayout>

namespace tarnwick {

namespace {

// A caption and its value, read together by a screen reader.
QLabel* AddField(QHBoxLayout* layout, QWidget* parent, const QString& caption) {
    auto* name = new QLabel(caption, parent);
    auto* value = new QLabel(parent);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setAccessibleName(caption);
    value->setMinimumWidth(60);
    name->setBuddy(value);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    layout->addWidget(name);
    layout->addWidget(value);
    layout->addSpacing(18);
    return value;
}

} // namespace

InfoBar::InfoBar(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Info bar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 3, 8, 3);
    productLabel_ = AddField(layout, this, QStringLiteral("Product:"));
    userLabel_ = AddField(layout, this, QStringLiteral("User:"));
    roleLabel_ = AddField(layout, this, QStringLiteral("Role:"));
    layout->addStretch(1);
    repaintTexts();
}

void InfoBar::clear() {
    product_.clear();
    version_.clear();
    user_.clear();
    role_.clear();
}

QString InfoBar::productText(const QString& product, const QString& version) {
    QString text = product.isEmpty() ? QStringLiteral("Select Product") : product;
    if (!version.isEmpty()) text += QLatin1Char('(') + version + QLatin1Char(')');
    return text;
}

void InfoBar::repaintTexts() {
    productLabel_->setText(productText(product_, version_));
    userLabel_->setText(user_);
    roleLabel_->setText(role_);
}

} // namespace tarnwick
