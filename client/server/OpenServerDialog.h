#pragma once
// "Open Server": asks for a PostgreSQL server database's URI, can test that it opens, and on OK
// leaves the URI for the main window to open the way Database > Open opens a file. The dialog
// itself never touches the main window's session: Test runs on a short-lived session of its own.
#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick {

class MessageSink;

class OpenServerDialog : public QDialog {
    Q_OBJECT
  public:
    // mainDatabase: what the main window has open (or empty), which a test must not disturb.
    OpenServerDialog(MessageSink& messages, QString mainDatabase, QWidget* parent = nullptr);

    // The URI as entered, without surrounding blanks.
    QString uri() const;

    // Checks the URI (a message when it is not one, and the dialog stays open) and closes the
    // dialog with Accepted.
    void accept() override;
    // Opens the URI on a session of its own and tells whether that worked.
    void runTest();

    QLineEdit* uriEdit() const { return uri_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* okButton() const;
    QPushButton* cancelButton() const;
    QLabel* helpLabel() const { return help_; }

  private:
    // The message telling what is wrong with the URI, or an empty text when it can be opened.
    QString uriProblem() const;

    MessageSink& messages_;
    QString mainDatabase_;
    QLineEdit* uri_;
    QPushButton* test_;
    QLabel* help_;
    QDialogButtonBox* buttons_;
};

} // namespace tarnwick
