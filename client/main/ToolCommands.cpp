#include "client/main/ToolCommands.h"

#include <QWidget>

#include "client/options/OptionsDialog.h"

namespace tarnwick {

ToolCommands::ToolCommands(MessageSink& messages, ClientConfig& config, QString configFile,
                           QWidget* window)
    : QObject(window), messages_(messages), config_(config), configFile_(std::move(configFile)),
      window_(window) {}

OptionsDialog* ToolCommands::optionsDialog() const {
    return dialog_;
}

void ToolCommands::options(const QString& mainDatabase) {
    if (dialog_) return;
    dialog_ = new OptionsDialog(config_, configFile_, messages_, window_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    dialog_->setMainDatabase(mainDatabase);
    connect(dialog_, &QDialog::accepted, this, &ToolCommands::optionsChanged);
    dialog_->open();
}

} // namespace tarnwick
