#include "client/merge/ConflictAwareUpdate.h"

#include <QWidget>

#include <optional>

#include "client/merge/FieldRights.h"
#include "client/merge/MergeDialog.h"
#include "client/merge/MergeTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {
namespace {

// Nothing when the update was stored, else the engine's text of the refusal.
std::optional<QString> TryUpdate(IBugSet* set, IBug* bug) {
    std::optional<QString> refusal;
    Attempt([&] { Check(set->Update(bug)); },
            [&](const EngineFailure& failure) { refusal = failure.text; });
    return refusal;
}

// A filter set that selects one bug by its ID.
ComPtr<IBugFilterSet> OneBugFilter(LONG id) {
    auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(filter->put_Field(ToBstr(QStringLiteral("BugID")).Get()));
    Check(filter->put_Condition(Equal));
    velmora::com::Variant value(id);
    Check(filter->put_Value(value));
    auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(set->Add(filter.Get()));
    return set;
}

} // namespace

QStringList KeptChangeCaptions(const QList<BugField>& fromColleague) {
    const bool status = fromColleague.contains(BugField::Status);
    QStringList captions;
    for (const BugField field : fromColleague) {
        if (status && IsStatusGroupField(field)) continue;
        captions.append(FieldCaption(field));
    }
    return captions;
}

ConflictAwareUpdate::ConflictAwareUpdate(ComPtr<IBugSet> set, BugFields snapshot,
                                         ComPtr<IBug> edited, ComPtr<IExeContext> session,
                                         MessageSink& messages, QWidget* parent,
                                         ReportAsNew reportAsNew, QObject* owner)
    : QObject(owner), set_(std::move(set)), snapshot_(std::move(snapshot)),
      edited_(std::move(edited)), session_(std::move(session)), messages_(messages),
      parent_(parent), reportAsNew_(std::move(reportAsNew)), names_(EngineIdNames()) {}

ConflictAwareUpdate::~ConflictAwareUpdate() {
    delete dialog_;
}

void ConflictAwareUpdate::start() {
    if (!set_ || !edited_) {
        fail(QString::fromLatin1(merge_texts::kUpdateFailed));
        return;
    }
    StoredBug current;
    const bool read = Attempt(
        [&] {
            id_ = Long(edited_.Get(), &IBug::get_ID);
            Check(edited_->get_BugType(&type_));
            mine_ = ReadBugFields(edited_.Get());
            // The set's own check compares with the row it holds, which it may have read again
            // after the editor opened (a refresh, a dropped page); the stored row tells for sure.
            if (id_ != 0) current.bug = readOwnRow();
        },
        [&](const EngineFailure& failure) { fail(failure.text); });
    if (!read) return;
    if (current.bug) {
        current.set = set_;
        mergeWith(current, std::nullopt);
        return;
    }

    const std::optional<QString> refusal = TryUpdate(set_.Get(), edited_.Get());
    if (!refusal) {
        finish(Outcome::Stored);
        return;
    }
    // A bug never stored cannot have been changed by anyone else.
    if (id_ == 0) {
        fail(*refusal);
        return;
    }
    mergeRound(*refusal);
}

void ConflictAwareUpdate::mergeRound(const QString& refusal) {
    if (++rounds_ > kMaxMergeRounds) {
        fail(QString::fromLatin1(merge_texts::kStillChanging));
        return;
    }
    StoredBug stored;
    if (!Attempt([&] { stored = readStored(); },
                 [&](const EngineFailure& failure) { fail(failure.text); }))
        return;
    if (!stored.bug) {
        reportDeleted();
        return;
    }
    mergeWith(stored, refusal);
}

void ConflictAwareUpdate::mergeWith(const StoredBug& stored,
                                    const std::optional<QString>& refusal) {
    BugFields theirs;
    ComPtr<IRight> right;
    const bool read = Attempt(
        [&] {
            theirs = ReadBugFields(stored.bug.Get());
            if (session_) right = Object(session_.Get(), &IExeContext::get_CurRight);
        },
        [&](const EngineFailure& failure) { fail(failure.text); });
    if (!read) return;
    // Without a right nothing may be written; the merge would store nothing and call that a
    // success.
    if (!right) {
        fail(refusal.value_or(QString::fromLatin1(merge_texts::kUpdateFailed)));
        return;
    }
    const BugFieldSet editable = EditableFields(right.Get());
    if (refusal && theirs == snapshot_) {
        // Refused, yet nobody changed what the editor shows. A change to a column the editor
        // does not show would explain it, and one more update over the fresh row settles that;
        // a second such refusal is the engine's own.
        if (retriedUnchanged_) {
            fail(*refusal);
            return;
        }
        retriedUnchanged_ = true;
    }

    const MergeResult merge = MergeBugFields(snapshot_, mine_, theirs, editable);
    QMap<BugField, MergeSide> choices;
    const QList<BugField> ask = unansweredClashes(merge, theirs, &choices);
    if (ask.isEmpty()) {
        store(stored, merge, theirs, choices, !merge.clashes.isEmpty());
        return;
    }

    auto* dialog = new MergeDialog(ask, mine_, theirs, names_, parent_);
    dialog_ = dialog;
    connect(dialog, &QDialog::finished, this, [=, this](int result) {
        const QMap<BugField, MergeSide> answered = dialog->choices();
        dialog_ = nullptr;
        dialog->deleteLater();
        if (result != QDialog::Accepted) {
            finish(Outcome::Cancelled);
            return;
        }
        QMap<BugField, MergeSide> all = choices;
        for (auto it = answered.cbegin(); it != answered.cend(); ++it) {
            all.insert(it.key(), it.value());
            answers_.insert(it.key(), Answer{it.value(), theirs});
        }
        store(stored, merge, theirs, all, true);
    });
    dialog->open();
}

QList<BugField> ConflictAwareUpdate::unansweredClashes(const MergeResult& merge,
                                                       const BugFields& theirs,
                                                       QMap<BugField, MergeSide>* choices) const {
    QList<BugField> ask;
    for (const BugField clash : merge.clashes) {
        const auto answer = answers_.constFind(clash);
        bool same = answer != answers_.cend();
        if (same) {
            for (const BugField field : FieldsSettledWith(clash))
                same = same && SameField(answer->theirs, theirs, field);
        }
        if (same) {
            choices->insert(clash, answer->side);
        } else {
            ask.append(clash);
        }
    }
    return ask;
}

ConflictAwareUpdate::StoredBug ConflictAwareUpdate::readStored() const {
    // The set's rows are those read when it last ran: run it again for the stored row.
    Check(set_->Refresh());
    StoredBug stored;
    if (SUCCEEDED(set_->GetBugByID(id_, stored.bug.Put())) && stored.bug) {
        stored.set = set_;
        return stored;
    }
    // The bug may only have left the set's selection (its status no longer matches the list's
    // filter, say): look for it in a set of its own.
    ComPtr<IBugSet> own;
    stored.bug = readOwnRow(&own);
    if (stored.bug) stored.set = own;
    return stored;
}

ComPtr<IBug> ConflictAwareUpdate::readOwnRow(ComPtr<IBugSet>* set) const {
    if (!session_) return {};
    ComPtr<IBugSet> own;
    const ComPtr<IBugFilterSet> filter = OneBugFilter(id_);
    Check(type_ == eFeature ? session_->OpenFeatureSet(filter.Get(), own.Put())
                            : session_->OpenBugSet(filter.Get(), own.Put()));
    Check(own->First());
    LONG end = 1;
    Check(own->IsEnd(&end));
    if (end) return {};
    ComPtr<IBug> bug = Object(own.Get(), &IBugSet::get_CurItem);
    if (set) *set = own;
    return bug;
}

void ConflictAwareUpdate::reportDeleted() {
    const QString question = QString::fromLatin1(
        type_ == eFeature ? merge_texts::kDeletedFeatureMeanwhile : merge_texts::kDeletedMeanwhile);
    if (!reportAsNew_) {
        fail(QString::fromLatin1(merge_texts::kDeleted));
        return;
    }
    if (!messages_.Confirm(parent_, question)) {
        finish(Outcome::Cancelled);
        return;
    }
    Attempt(
        [&] {
            // A new bug carrying the user's edit, whatever an earlier merge round wrote into
            // the edited object.
            auto fresh = Create<IBug>(CLSID_Bug, IID_IBug);
            Check(fresh->Copy(edited_.Get()));
            WriteBugFields(fresh.Get(), mine_);
            Check(fresh->put_BugType(type_));
            reportAsNew_(fresh.Get());
            finish(Outcome::ReportedAsNew);
        },
        [&](const EngineFailure& failure) { fail(failure.text); });
}

void ConflictAwareUpdate::store(const StoredBug& stored, const MergeResult& merge,
                                const BugFields& theirs, const QMap<BugField, MergeSide>& choices,
                                bool asked) {
    const BugFields resolved = ResolveClashes(merge, mine_, theirs, choices);
    const QStringList kept = KeptChangeCaptions(merge.fromColleague);
    const auto succeed = [&] {
        if (kept.isEmpty() || (asked && resolved == theirs)) {
            finish(Outcome::Stored);
        } else {
            statusText_ = merge_texts::SavedWithColleagueChanges(kept);
            finish(Outcome::StoredWithColleagueChanges);
        }
    };

    std::optional<QString> refusal;
    const bool written = Attempt(
        [&] {
            // The edited object becomes the stored row with the merge written over it, so that
            // the columns the editor does not show keep what is stored.
            Check(edited_->Copy(stored.bug.Get()));
            for (const BugField field : DifferingFields(theirs, resolved))
                WriteBugField(edited_.Get(), field, resolved);
            if (resolved == theirs) return; // nothing of mine to store
            refusal = TryUpdate(stored.set.Get(), edited_.Get());
        },
        [&](const EngineFailure& failure) { fail(failure.text); });
    if (!written) return;
    if (refusal) {
        // Changed again since it was read: merge once more.
        mergeRound(*refusal);
        return;
    }
    succeed();
}

void ConflictAwareUpdate::fail(const QString& text) {
    messages_.Inform(parent_, text);
    finish(Outcome::Failed);
}

void ConflictAwareUpdate::finish(Outcome outcome) {
    if (finished_) return;
    finished_ = true;
    outcome_ = outcome;
    emit finished(outcome);
}

} // namespace tarnwick
