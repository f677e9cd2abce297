#include "client/options/OptionsDialog.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

#include "client/config/ClientConfig.h"
#include "client/options/OptionsGeneralPage.h"
#include "client/options/OptionsOtherPage.h"
#include "client/options/OptionsTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

using namespace options_texts;

OptionsDialog::OptionsDialog(ClientConfig& config, QString configPath, MessageSink& messages,
                             QWidget* parent)
    : QDialog(parent), config_(config), configPath_(std::move(configPath)), messages_(messages) {
    setWindowTitle(QString::fromLatin1(kDialogTitle));
    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName(QString::fromLatin1(kDialogTitle));
    general_ = new OptionsGeneralPage(messages_, tabs_);
    other_ = new OptionsOtherPage(tabs_);
    general_->setAccessibleName(QString::fromLatin1(kGeneralTitle));
    other_->setAccessibleName(QString::fromLatin1(kOtherTitle));
    tabs_->addTab(general_, QString::fromLatin1(kGeneralTitle));
    tabs_->addTab(other_, QString::fromLatin1(kOtherTitle));

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &OptionsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
}

void OptionsDialog::setMainDatabase(const QString& path) {
    general_->setMainDatabase(path);
}

void OptionsDialog::open() {
    QDialog::open();
    if (const QString error = config_.Load(configPath_); !error.isEmpty())
        messages_.Inform(this, error);
    general_->load(config_);
    other_->load(config_);
}

void OptionsDialog::accept() {
    general_->write(config_);
    other_->write(config_);
    if (const QString error = config_.Save(configPath_); !error.isEmpty())
        messages_.Inform(this, error);
    QDialog::accept();
}

} // namespace tarnwick
