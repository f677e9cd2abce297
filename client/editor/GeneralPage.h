#pragma once
// The editor's "General" page: description, status, the lookup-list choices, classification,
// and who reported, fixed and verified the bug in which version and when. What may be changed
// follows the current right and the status: choosing "Fixed" or "Verified" fills in the current
// user, the time and the active version, and the groups a status does not use are hidden and
// emptied.
#include <QDateTime>

#include <functional>

#include "client/editor/EditorPage.h"
#include "client/editor/GeneralChoices.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarnwick {

class NullableDateTimeEdit;

class GeneralPage : public EditorPage {
    Q_OBJECT

  public:
    explicit GeneralPage(QWidget* parent = nullptr);

    QString title() const override;
    void load(const BugEditorState& state) override;
    void save(const BugEditorState& state) override;
    bool isModified() const override { return modified_; }

    // Where "now" comes from (the current local time unless a test sets another clock).
    void setClock(std::function<QDateTime()> clock);

  private:
    // A caption and the control it names; both are shown, hidden or enabled together.
    struct Row {
        QLabel* label = nullptr;
        QWidget* control = nullptr;
    };

    void buildForm();
    void connectEdits();
    void fillLists();
    void loadNew(const BugEditorState& state);
    void loadEdit(const BugEditorState& state);
    void applyRights(IRight* right);
    void applyStatusRules(const QString& status);
    void onStatusChosen(const QString& status);
    void noteUserChange();

    void showFixedGroup(bool shown);
    void showVerifiedGroup(bool shown);
    void fillReportedFromBug();
    void fillFixedFromBug();
    void fillVerifiedFromBug();

    DATE now() const;
    // The user ID written as fixer or verifier: none when the status does not call for one.
    LONG writtenUserId(bool needed, LONG storedId) const;

    QLineEdit* description_;
    QComboBox* status_;
    QComboBox* severity_;
    QComboBox* priority_;
    QComboBox* reproductive_;
    QComboBox* classification_;
    QLineEdit* reportedBy_;
    NullableDateTimeEdit* reportedDate_;
    QComboBox* reportedInVersion_;
    QLineEdit* fixedBy_;
    NullableDateTimeEdit* fixedDate_;
    QComboBox* fixedInVersion_;
    QLineEdit* verifiedBy_;
    NullableDateTimeEdit* verifiedDate_;
    QLineEdit* lastModifiedBy_;
    NullableDateTimeEdit* lastModifiedDate_;
    QList<Row> fixedGroup_;
    QList<Row> verifiedGroup_;

    std::function<QDateTime()> clock_;
    GeneralChoices choices_;
    // The state of the run; the bug is read again whenever a status takes values from it.
    BugEditorState state_;
    // While set, a status is applied as read from the bug (its fixer and dates are kept).
    bool loading_ = false;
    // Set while the page itself changes controls, so that only the user's edits count.
    int filling_ = 0;
    bool modified_ = false;
    // Whether the user picked a status in this run.
    bool statusChosen_ = false;
};

} // namespace tarnwick
