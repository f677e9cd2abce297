#include "client/options/OptionsOtherPage.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

#include "client/config/ClientConfig.h"
#include "client/options/DateFormatCodes.h"
#include "client/options/OptionsTexts.h"

namespace tarnwick {

using namespace options_texts;

OptionsOtherPage::OptionsOtherPage(QWidget* parent) : QWidget(parent) {
    auto* group = new QGroupBox(QString::fromLatin1(kDateFormatGroup), this);
    auto* label = new QLabel(QString::fromLatin1(kDateFormat), group);
    edit_ = new QLineEdit(group);
    edit_->setAccessibleName(QString::fromLatin1(kDateFormat));
    label->setBuddy(edit_);
    button_ = new QPushButton(QString::fromLatin1(kFormat), group);
    button_->setAccessibleName(QString::fromLatin1(kFormat).remove(QLatin1Char('&')));

    menu_ = new QMenu(this);
    menu_->setAccessibleName(QString::fromLatin1(kFormat).remove(QLatin1Char('&')));
    for (int index = 0; index < static_cast<int>(std::size(kFormatMenu)); ++index) {
        const FormatMenuItem& item = kFormatMenu[index];
        QAction* action =
            menu_->addAction(QString::fromLatin1(item.code) + QString::fromLatin1(kFormatMenuGap) +
                             QString::fromLatin1(item.sample));
        connect(action, &QAction::triggered, this, [this, index] { chooseFormat(index); });
    }

    auto* row = new QHBoxLayout;
    row->addWidget(edit_, 1);
    row->addWidget(button_);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(label);
    inner->addLayout(row);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);

    connect(button_, &QPushButton::clicked, this, &OptionsOtherPage::showFormatMenu);
}

void OptionsOtherPage::load(const ClientConfig& config) {
    edit_->setText(DateFormatCodes::ToUser(config.DateFormat));
}

void OptionsOtherPage::write(ClientConfig& config) const {
    config.DateFormat = DateFormatCodes::ToStored(edit_->text());
}

void OptionsOtherPage::showFormatMenu() {
    menu_->popup(button_->mapToGlobal(QPoint(0, button_->height())));
}

void OptionsOtherPage::chooseFormat(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kFormatMenu))) return;
    edit_->setText(QString::fromLatin1(kFormatMenu[index].code));
}

} // namespace tarnwick
