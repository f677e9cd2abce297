#pragma once
// Storing an edited bug without losing a colleague's work. The bug set refuses an update when
// the row changed since it was read; then the stored bug is read again and merged field by field
// with the user's edit against the snapshot taken when the editor opened. Only fields both
// changed to different values are put to the user (MergeDialog); everything else is settled
// without asking, and the merge is stored. A bug deleted meanwhile can be reported anew.
//
// The stored row is read before the first update as well: the set's own check compares with the
// row it holds, which may have been read again after the editor opened. The user's fields are
// always written over the stored row, so columns the editor does not show keep what is stored.
//
// Driven by signals: start(), then finished(outcome) once, perhaps after the dialog was
// answered. The bug set may have been re-run by then; the caller re-reads its list.
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

#include "client/adapter/EngineCall.h"
#include "client/merge/BugFields.h"
#include "client/merge/BugMerge.h"
#include "client/merge/FieldValueText.h"
#include "client/merge/MergeDialog.h"

class QWidget;

namespace tarnwick {

class MessageSink;

class ConflictAwareUpdate : public QObject {
    Q_OBJECT

  public:
    enum class Outcome {
        Stored,                     // stored; nothing of a colleague's needed mentioning
        StoredWithColleagueChanges, // stored, keeping a colleague's changes: see statusText()
        ReportedAsNew,              // the bug was gone; the edit was reported as a new one
        Cancelled,                  // the user declined; the editor stays open
        Failed,                     // the engine's message was shown; the editor stays open
    };
    Q_ENUM(Outcome)

    // Stores the edited content as a new bug or feature (the caller's Add); raises
    // EngineFailure when that is refused. It receives a new Bug object holding the user's edit.
    // Without one a deleted bug is only reported as deleted.
    using ReportAsNew = std::function<void(IBug* edited)>;

    // How many times the merge is tried again when the merged update is refused in turn.
    static constexpr int kMaxMergeRounds = 3;

    // set: the set the bug was read from; snapshot: the bug's fields when the editor opened;
    // edited: the bug with the user's values written into it.
    ConflictAwareUpdate(ComPtr<IBugSet> set, BugFields snapshot, ComPtr<IBug> edited,
                        ComPtr<IExeContext> session, MessageSink& messages, QWidget* parent,
                        ReportAsNew reportAsNew, QObject* owner = nullptr);
    ~ConflictAwareUpdate() override;

    // How IDs are shown in the dialog (names looked up through the engine by default).
    void setIdNames(IdName names) { names_ = std::move(names); }

    // Tries the update; finished() follows, at once or once the dialog is answered.
    void start();

    bool isFinished() const { return finished_; }
    Outcome outcome() const { return outcome_; }
    // The status-bar text for StoredWithColleagueChanges ("Saved. A colleague's changes to ...
    // were kept."); empty otherwise.
    const QString& statusText() const { return statusText_; }
    // The dialog while it is open, else null.
    MergeDialog* dialog() const { return dialog_; }

  signals:
    void finished(tarnwick::ConflictAwareUpdate::Outcome outcome);

  private:
    // The bug as stored now and the set through which it can be updated; no bug when it is gone.
    struct StoredBug {
        ComPtr<IBugSet> set;
        ComPtr<IBug> bug;
    };

    // After a refused update: read again, then merge.
    void mergeRound(const QString& refusal);
    // Merges with the stored bug, asks about clashes, stores. refusal: the update refused
    // before, if any.
    void mergeWith(const StoredBug& stored, const std::optional<QString>& refusal);
    // The stored bug, through the caller's set run again or else a set of its own.
    StoredBug readStored() const;
    // The stored row read through a new set that selects it alone (into *set if given); null
    // when that set cannot see it (deleted, or moved out of the active version).
    ComPtr<IBug> readOwnRow(ComPtr<IBugSet>* set = nullptr) const;
    void reportDeleted();
    void store(const StoredBug& stored, const MergeResult& merge, const BugFields& theirs,
               const QMap<BugField, MergeSide>& choices, bool asked);
    // Fills choices from earlier answers whose values are still what the colleague holds;
    // returns the clashes still to ask about.
    QList<BugField> unansweredClashes(const MergeResult& merge, const BugFields& theirs,
                                      QMap<BugField, MergeSide>* choices) const;
    void fail(const QString& text);
    void finish(Outcome outcome);

    ComPtr<IBugSet> set_;
    BugFields snapshot_;
    ComPtr<IBug> edited_;
    ComPtr<IExeContext> session_;
    MessageSink& messages_;
    QPointer<QWidget> parent_;
    ReportAsNew reportAsNew_;
    IdName names_;

    LONG id_ = 0;
    tagBugType type_ = eBug;
    BugFields mine_;
    int rounds_ = 0;
    bool retriedUnchanged_ = false;
    // Answers given in the dialog, with the colleague's values they were given against.
    struct Answer {
        MergeSide side;
        BugFields theirs;
    };
    QMap<BugField, Answer> answers_;
    QPointer<MergeDialog> dialog_;
    bool finished_ = false;
    Outcome outcome_ = Outcome::Failed;
    QString statusText_;
};

// The captions of the colleague's kept changes for the status bar: Status stands for its group.
QStringList KeptChangeCaptions(const QList<BugField>& fromColleague);

} // namespace tarnwick
