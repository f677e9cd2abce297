// The filter list of a session on a demo database: the predefined filters and the saved ones.
#include <QFile>
#include <QtTest>

#include <vector>

#include "client/config/OleDate.h"
#include "client/filters/FilterFile.h"
#include "client/filters/FilterListBuilder.h"
#include "tests/client_config/FilterTestSupport.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

QStringList Names(const FilterList& list) {
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << Text(list.GetAt(i).Get(), &IBugFilterSet::get_Name);
    return names;
}

// The classification names of a product in database order.
QStringList ClassificationNames(IClassificationSet* set) {
    QStringList names;
    const LONG count = Long(set, &IClassificationSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        names << Text(Item(set, &IClassificationSet::get_Item, i).Get(),
                      &IClassification::get_Name);
    return names;
}

} // namespace

class FilterListBuilderTest : public QObject {
    Q_OBJECT

  private:
    ClientTestEnvironment environment_;

    // A session logged in as login with the first version of "Harbor Ledger" active.
    ComPtr<IExeContext> Session(const QString& database, const QString& login) {
        auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(database).Get()));
        Check(session->Login(ToBstr(login).Get(), ToBstr(login + QStringLiteral("-demo")).Get()));
        const auto products = Object(session.Get(), &IExeContext::get_CurUserProductSet);
        const LONG count = Long(products.Get(), &IProductSet::get_Count);
        for (LONG i = 0; i < count; ++i) {
            const auto product = Item(products.Get(), &IProductSet::get_Item, i);
            if (Text(product.Get(), &IProduct::get_Name) != QStringLiteral("Harbor Ledger"))
                continue;
            const auto version = Item(product.Get(), &IProduct::get_Version, 0);
            Check(session->SetActiveProduct(Long(version.Get(), &IVersion::get_ID)));
            return session;
        }
        qFatal("%s sees no Harbor Ledger", qPrintable(login));
        return nullptr;
    }

  private slots:
    void predefinedFiltersInOrder() {
        const QString database = environment_.DemoDatabase(QStringLiteral("assigned.mdb"), 5);
        auto session = Session(database, QStringLiteral("mhart"));
        const LONG userID = Long(session.Get(), &IExeContext::get_CurUserID);
        const LONG productID = Long(session.Get(), &IExeContext::get_ActiveProductID);

        // Give mhart the second and the first classification of the product.
        ComPtr<IClassificationSet> all;
        Check(session->GetUserClassification(0, productID, all.Put()));
        QVERIFY(Long(all.Get(), &IClassificationSet::get_Count) >= 3);
        std::vector<LONG> ids = {
            Long(Item(all.Get(), &IClassificationSet::get_Item, 1).Get(), &IClassification::get_ID),
            Long(Item(all.Get(), &IClassificationSet::get_Item, 0).Get(),
                 &IClassification::get_ID)};
        Check(session->AssignUserClassification(userID, ids.data(), static_cast<LONG>(ids.size())));
        const QStringList allNames = ClassificationNames(all.Get());

        FilterList list;
        list.Add(MakeSet(QStringLiteral("left over")));
        const QDate today(2024, 2, 29);
        BuildFilterList(session.Get(), list, environment_.File(QStringLiteral("none.ser")), today);

        QCOMPARE(Names(list),
                 (QStringList{"My Bugs", "Today's Bug", "Fixed Bugs", "Verified Bugs"}));
        QCOMPARE(list.PredefinedCount(), 4);
        // Database order, not the order of assignment.
        QCOMPARE(Describe(list.GetAt(0).Get()),
                 (QStringList{"2 Classification 1 8:" + allNames[0],
                              "2 Classification 1 8:" + allNames[1]}));
        QCOMPARE(
            Describe(list.GetAt(1).Get()),
            QStringList{
                QStringLiteral("2 ReportedDate 1 7:%1").arg(OleDateFromDate(today), 0, 'g', 17)});
        QCOMPARE(OleDateFromDate(today), 45351.0);
        QCOMPARE(Describe(list.GetAt(2).Get()), QStringList{"2 StatusName 1 8:Fixed"});
        QCOMPARE(Describe(list.GetAt(3).Get()), QStringList{"2 StatusName 1 8:Verified"});

        // The engine can use every one of them.
        for (int i = 0; i < list.Count(); ++i) {
            ComPtr<IBugSet> bugs;
            QVERIFY2(SUCCEEDED(session->OpenBugSet(list.GetAt(i).Get(), bugs.Put())),
                     qPrintable(LastEngineText(E_FAIL)));
        }
        Check(session->Close());
    }

    void userWithoutClassificationsGetsAnEmptyMyBugs() {
        const QString database = environment_.DemoDatabase(QStringLiteral("plain.mdb"), 5);
        auto session = Session(database, QStringLiteral("dokafor"));
        FilterList list;
        BuildFilterList(session.Get(), list, environment_.File(QStringLiteral("none.ser")),
                        QDate(2024, 1, 1));
        QCOMPARE(list.Count(), 4);
        QCOMPARE(Text(list.GetAt(0).Get(), &IBugFilterSet::get_Name), QStringLiteral("My Bugs"));
        QCOMPARE(Long(list.GetAt(0).Get(), &IBugFilterSet::get_Count), 0);
        Check(session->Close());
    }

    void savedFiltersFollowThePredefinedOnes() {
        const QString database = environment_.DemoDatabase(QStringLiteral("plain.mdb"), 5);
        const QString file = environment_.File(QStringLiteral("saved.ser"));
        FilterList saved;
        saved.Add(MakeSet(QStringLiteral("Mine"),
                          {{"BugID", LargerThan, velmora::com::Variant(3), LogAnd}}));
        saved.Add(MakeSet(QStringLiteral("Fixed Bugs")));
        saved.Add(MakeSet(QStringLiteral("Never read")));
        QVERIFY(SaveFilterFile(file, saved));

        auto session = Session(database, QStringLiteral("dokafor"));
        FilterList list;
        BuildFilterList(session.Get(), list, file, QDate(2024, 1, 1));
        // The saved "Fixed Bugs" clashes with the predefined one and ends the loading.
        QCOMPARE(Names(list),
                 (QStringList{"My Bugs", "Today's Bug", "Fixed Bugs", "Verified Bugs", "Mine"}));
        QCOMPARE(list.PredefinedCount(), 4);
        QCOMPARE(Describe(list.GetAt(4).Get()), QStringList{"1 BugID 3 3:3"});
        Check(session->Close());
    }

    void noUserNoFilters() {
        const QString database = environment_.DemoDatabase(QStringLiteral("plain.mdb"), 5);
        auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(database).Get()));
        FilterList list;
        list.Add(MakeSet(QStringLiteral("left over")));
        list.SetPredefinedCount(1);
        BuildFilterList(session.Get(), list, QString(), QDate(2024, 1, 1));
        QCOMPARE(list.Count(), 0);
        QCOMPARE(list.PredefinedCount(), 0);
        Check(session->Close());
    }
};

QTEST_GUILESS_MAIN(FilterListBuilderTest)
#include "tst_FilterListBuilder.moc"
