// The bug editor dialog: pages loaded when first shown and saved only then, OK by button and
// keyboard, Cancel asking before changes are dropped, engine refusals that keep the dialog open,
// the deferred store, and the remembered size.
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "client/editor/BugSheet.h"
#include "client/editor/GeneralPage.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_editor/EditorTestControls.h"
#include "tests/client_editor/EditorTestSession.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// A page that records what the editor asks of it, in one log shared by all pages of a test.
class FakePage : public EditorPage {
  public:
    FakePage(QString name, QStringList& log) : name_(std::move(name)), log_(log) {}
    QString title() const override { return name_; }
    void load(const BugEditorState& state) override {
        log_ << "load " + name_;
        if (!state.bug) log_ << "no bug";
        if (!loadFailure.isEmpty()) throw EngineFailure{E_FAIL, loadFailure};
    }
    void save(const BugEditorState&) override {
        log_ << "save " + name_;
        if (!saveFailure.isEmpty()) throw EngineFailure{E_FAIL, saveFailure};
    }
    bool isModified() const override { return changed; }

    bool changed = false;
    QString loadFailure;
    QString saveFailure;

  private:
    QString name_;
    QStringList& log_;
};

} // namespace

class BugSheetTest : public QObject {
    Q_OBJECT

  private:
    ClientTestEnvironment environment_;
    QTemporaryDir settingsFolder_;
    ComPtr<IExeContext> session_;
    RecordingMessageSink sink_;
    QStringList log_;
    std::unique_ptr<BugSheet> sheet_;

    BugSheet* makeSheet(const QString& caption = QStringLiteral("New Bug")) {
        sheet_ = std::make_unique<BugSheet>(session_, caption, sink_);
        return sheet_.get();
    }
    FakePage* addFake(const QString& name) {
        auto* page = new FakePage(name, log_);
        sheet_->addPage(page);
        return page;
    }
    // A sheet with two fake pages, shown.
    std::pair<FakePage*, FakePage*> showTwoFakes() {
        makeSheet();
        FakePage* first = addFake("First");
        FakePage* second = addFake("Second");
        sheet_->setBug({}, BugEditorState::New);
        sheet_->show();
        return {first, second};
    }
    QPushButton* button(const QString& caption) const {
        return Named<QPushButton>(sheet_.get(), caption);
    }

  private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName(QStringLiteral("TarnwickTests"));
        QCoreApplication::setApplicationName(QStringLiteral("BugSheetTest"));
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder_.path());
        session_ = WorkingSession(environment_.DemoDatabase(QStringLiteral("sheet.mdb"), 40),
                                  QStringLiteral("mhart"));
    }
    void init() {
        sink_.texts.clear();
        sink_.answers.clear();
        log_.clear();
        QSettings().clear();
    }
    void cleanup() { sheet_.reset(); }

    void setBugMakesANewBugAndTakesTheSessionsRight() {
        makeSheet();
        sheet_->setBug({}, BugEditorState::New);
        QVERIFY(sheet_->bug());
        QCOMPARE(Long(sheet_->bug().Get(), &IBug::get_ID), 0);
        QVERIFY(sheet_->state().right);
        QCOMPARE(Long(sheet_->state().right.Get(), &IRight::get_Add), 1);
        QCOMPARE(sheet_->state().mode, BugEditorState::New);
        QCOMPARE(sheet_->windowTitle(), QStringLiteral("New Bug"));

        const auto given = Create<IBug>(CLSID_Bug, IID_IBug);
        sheet_->setBug(given, BugEditorState::Edit);
        QCOMPARE(sheet_->bug().Get(), given.Get());
        QCOMPARE(sheet_->state().mode, BugEditorState::Edit);

        // Without a session the editor still works, with a right that allows nothing.
        sheet_ = std::make_unique<BugSheet>(ComPtr<IExeContext>(), "Edit Bug", sink_);
        sheet_->setBug({}, BugEditorState::Edit);
        QCOMPARE(Long(sheet_->state().right.Get(), &IRight::get_Read), 0);
        QVERIFY(sink_.texts.isEmpty());
    }

    void pagesLoadWhenFirstShownAndOnlyOnce() {
        showTwoFakes();
        QCOMPARE(log_, QStringList{"load First"});
        QTabWidget* tabs = sheet_->findChild<QTabWidget*>();
        tabs->setCurrentIndex(1);
        tabs->setCurrentIndex(0);
        tabs->setCurrentIndex(1);
        QCOMPARE(log_, (QStringList{"load First", "load Second"}));
        button("OK")->click();
        QCOMPARE(log_, (QStringList{"load First", "load Second", "save First", "save Second"}));
        QCOMPARE(sheet_->result(), int(QDialog::Accepted));
    }

    void aPageNeverShownIsNeverSaved() {
        showTwoFakes();
        button("OK")->click();
        QCOMPARE(log_, (QStringList{"load First", "save First"}));
        QVERIFY(!sheet_->isVisible());
    }

    void aPageThatFailsToLoadShowsTheMessageAndIsNotSaved() {
        makeSheet();
        FakePage* page = addFake("First");
        page->loadFailure = "Get current version failded";
        sheet_->setBug({}, BugEditorState::New);
        sheet_->show();
        QCOMPARE(sink_.texts, QStringList{"Get current version failded"});
        QVERIFY(!page->isEnabled());
        button("OK")->click();
        QCOMPARE(log_, QStringList{"load First"});
    }

    void controlEnterAndControlReturnAccept() {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            makeSheet();
            auto* general = new GeneralPage;
            sheet_->addPage(general);
            sheet_->setBug({}, BugEditorState::New);
            sheet_->show();
            QVERIFY(QTest::qWaitForWindowActive(sheet_.get()));
            QLineEdit* description = Named<QLineEdit>(general, "Description");
            description->setFocus();
            QTest::keyClicks(description, "Keyboard");
            QSignalSpy accepted(sheet_.get(), &QDialog::accepted);
            QTest::keyClick(description, key, Qt::ControlModifier);
            QCOMPARE(accepted.count(), 1);
            QCOMPARE(Text(sheet_->bug().Get(), &IBug::get_Description), QStringLiteral("Keyboard"));
        }
    }

    void escapeWithoutChangesClosesWithoutAsking() {
        showTwoFakes();
        QTest::keyClick(sheet_.get(), Qt::Key_Escape);
        QVERIFY(sink_.texts.isEmpty());
        QVERIFY(!sheet_->isVisible());
        QCOMPARE(sheet_->result(), int(QDialog::Rejected));
    }

    void escapeWithChangesAsksAndNoKeepsTheDialog() {
        auto [first, second] = showTwoFakes();
        // A page that was never shown does not count, whatever it says.
        second->changed = true;
        QVERIFY(!sheet_->anyModified());
        first->changed = true;
        QVERIFY(sheet_->anyModified());
        sink_.answers = {false, false, true};
        QTest::keyClick(sheet_.get(), Qt::Key_Escape);
        QCOMPARE(sink_.texts, QStringList{"Discard the changes to this bug?"});
        QVERIFY(sheet_->isVisible());
        // The window's close button asks the same.
        sheet_->close();
        QVERIFY(sheet_->isVisible());
        button("Cancel")->click();
        QCOMPARE(sink_.texts.size(), 3);
        QVERIFY(!sheet_->isVisible());
        QVERIFY(!log_.contains("save First"));
    }

    void anEngineRefusalOnSaveKeepsTheDialogAndTheInput() {
        makeSheet("Edit Bug");
        auto* general = new GeneralPage;
        sheet_->addPage(general);
        addFake("Second");
        const ComPtr<IBug> bug = StoredBug(session_.Get(), [](IBug* each) {
            Check(each->put_Status(ToBstr(QStringLiteral("Active")).Get()));
        });
        sheet_->setBug(bug, BugEditorState::Edit);
        sheet_->show();
        sheet_->findChild<QTabWidget*>()->setCurrentIndex(1);
        QTest::keyClicks(Named<QLineEdit>(general, "Description"), "Still here");
        // A colleague removed the chosen classification meanwhile: the engine refuses its ID.
        QComboBox* classes = Named<QComboBox>(general, "Classification");
        classes->setCurrentIndex(0);
        classes->setItemData(0, QVariant::fromValue<LONG>(987654));

        button("OK")->click();
        QCOMPARE(sink_.texts, QStringList{"Set ClassificationID failed!"});
        QVERIFY(sheet_->isVisible());
        QCOMPARE(Named<QLineEdit>(general, "Description")->text(), QStringLiteral("Still here"));
        // The pages after the refused one were not written.
        QVERIFY(!log_.contains("save Second"));
        QVERIFY(button("OK")->isEnabled());
    }

    void deferredStoreWaitsForTheOwner() {
        auto [first, second] = showTwoFakes();
        Q_UNUSED(second);
        sheet_->setDeferredStore(true);
        QSignalSpy requested(sheet_.get(), &BugSheet::saveRequested);
        QSignalSpy accepted(sheet_.get(), &QDialog::accepted);
        first->changed = true;

        button("OK")->click();
        QCOMPARE(requested.count(), 1);
        QVERIFY(sheet_->isVisible());
        QVERIFY(!button("OK")->isEnabled());
        QVERIFY(sheet_->isWaitingForStore());
        // Neither a second OK nor Cancel interferes while the owner stores.
        QTest::keyClick(sheet_.get(), Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(sheet_.get(), Qt::Key_Escape);
        QCOMPARE(requested.count(), 1);
        QVERIFY(sheet_->isVisible());
        QVERIFY(sink_.texts.isEmpty());

        sheet_->finishSave(false);
        QVERIFY(sheet_->isVisible());
        QVERIFY(button("OK")->isEnabled());
        QCOMPARE(accepted.count(), 0);

        button("OK")->click();
        QCOMPARE(requested.count(), 2);
        sheet_->finishSave(true);
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!sheet_->isVisible());
        QCOMPARE(log_.count("save First"), 2);
        // A late answer changes nothing.
        sheet_->finishSave(true);
        QCOMPARE(accepted.count(), 1);
    }

    void theSizeIsRemembered() {
        makeSheet();
        QCOMPARE(sheet_->size(), QSize(820, 560));
        sheet_->show();
        sheet_->resize(700, 610);
        sheet_->reject();
        makeSheet();
        QCOMPARE(sheet_->size(), QSize(700, 610));
    }
};

QTEST_MAIN(BugSheetTest)
#include "BugSheetTest.moc"
