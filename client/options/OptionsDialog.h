#pragma once
// The Options dialog: the "General" and "Other" pages over the client's configuration record.
// Opening it reads Bug.cfg into the record; OK writes both pages into the record and saves it.
#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QTabWidget;

namespace tarnwick {

class ClientConfig;
class MessageSink;
class OptionsGeneralPage;
class OptionsOtherPage;

class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    OptionsDialog(ClientConfig& config, QString configPath, MessageSink& messages,
                  QWidget* parent = nullptr);

    // The database the main window's session has open, or empty. The dialog's own short-lived
    // sessions point the engine's process-wide connection back at it when they end.
    void setMainDatabase(const QString& path);

    // Shows the dialog window-modal, then reads Bug.cfg into the record and the record into the
    // pages (a file error is shown and the record keeps what it holds).
    void open() override;
    // Writes both pages into the record and saves it to Bug.cfg; a file error is shown. The
    // dialog closes either way (the record holds the new settings for this run), and
    // accepted() comes after the save.
    void accept() override;

    OptionsGeneralPage* generalPage() const { return general_; }
    OptionsOtherPage* otherPage() const { return other_; }
    QTabWidget* pages() const { return tabs_; }
    QDialogButtonBox* buttons() const { return buttons_; }

  private:
    ClientConfig& config_;
    QString configPath_;
    MessageSink& messages_;
    QTabWidget* tabs_;
    OptionsGeneralPage* general_;
    OptionsOtherPage* other_;
    QDialogButtonBox* buttons_;
};

} // namespace tarnwick
