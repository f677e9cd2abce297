// The bug as a value object: defaults, plain fields through the interface, Copy and Product.
#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/bugs/Bug.h"
#include "engine/com/EngineObjects.h"
#include "engine/session/ExeContext.h"

namespace velmora::test {
namespace {

using com::Bstr;
using com::ComPtr;
using engine::CBug;

std::string TextOf(IBug* bug, HRESULT (STDMETHODCALLTYPE IBug::*get)(BSTR*)) {
    Bstr text;
    EXPECT_EQ((bug->*get)(text.Put()), S_OK);
    return text.Utf8();
}

TEST(BugProperties, NewBugHoldsTheDefaults) {
    auto bug = engine::CreateObject<CBug>();
    LONG id = -1;
    EXPECT_EQ(bug->get_ID(&id), S_OK);
    EXPECT_EQ(id, 0);
    tagBugType type = eFeature;
    EXPECT_EQ(bug->get_BugType(&type), S_OK);
    EXPECT_EQ(type, eBug);
    DATE date = 1.0;
    EXPECT_EQ(bug->get_DateDue(&date), S_OK);
    EXPECT_EQ(date, 0.0);
    EXPECT_EQ(TextOf(bug.Get(), &IBug::get_ReportedBy), "");
    EXPECT_EQ(bug->Context().Get(), nullptr);
}

TEST(BugProperties, TextsAreStoredAsGivenAndHandedOutAsCopies) {
    auto bug = engine::CreateObject<CBug>();
    const std::pair<HRESULT (STDMETHODCALLTYPE IBug::*)(BSTR),
                    HRESULT (STDMETHODCALLTYPE IBug::*)(BSTR*)>
        texts[] = {{&IBug::put_Description, &IBug::get_Description},
                   {&IBug::put_Report, &IBug::get_Report},
                   {&IBug::put_RecreateStep, &IBug::get_RecreateStep},
                   {&IBug::put_Workaround, &IBug::get_Workaround},
                   {&IBug::put_Resolution, &IBug::get_Resolution},
                   {&IBug::put_Status, &IBug::get_Status},
                   {&IBug::put_Priority, &IBug::get_Priority},
                   {&IBug::put_Severity, &IBug::get_Severity},
                   {&IBug::put_Reproductive, &IBug::get_Reproductive}};
    int n = 0;
    for (const auto& [put, get] : texts) {
        const std::string value = "Größe 'n' " + std::to_string(++n) + "\r\nline two";
        ASSERT_EQ((bug.Get()->*put)(Bstr(value).Get()), S_OK);
        EXPECT_EQ(TextOf(bug.Get(), get), value);
    }
    // Free texts: a status outside the lookup list is taken as it is.
    EXPECT_EQ(bug->put_Status(Bstr("Sleeping").Get()), S_OK);
    EXPECT_EQ(bug->Data().status, "Sleeping");
    // A null text is the empty text.
    EXPECT_EQ(bug->put_Status(nullptr), S_OK);
    EXPECT_EQ(TextOf(bug.Get(), &IBug::get_Status), "");
}

TEST(BugProperties, DatesKeepTheirTimeOfDay) {
    auto bug = engine::CreateObject<CBug>();
    const std::pair<HRESULT (STDMETHODCALLTYPE IBug::*)(DATE),
                    HRESULT (STDMETHODCALLTYPE IBug::*)(DATE*)>
        dates[] = {{&IBug::put_ReportedDate, &IBug::get_ReportedDate},
                   {&IBug::put_FixedDate, &IBug::get_FixedDate},
                   {&IBug::put_VerifiedDate, &IBug::get_VerifiedDate},
                   {&IBug::put_LastModifiedDate, &IBug::get_LastModifiedDate},
                   {&IBug::put_EstimatedTime, &IBug::get_EstimatedTime},
                   {&IBug::put_ActualTime, &IBug::get_ActualTime},
                   {&IBug::put_DateDue, &IBug::get_DateDue}};
    double value = 45000.125;
    for (const auto& [put, get] : dates) {
        value += 1.5;
        ASSERT_EQ((bug.Get()->*put)(value), S_OK);
        DATE back = 0.0;
        EXPECT_EQ((bug.Get()->*get)(&back), S_OK);
        EXPECT_EQ(back, value);
    }
}

// Values the enumeration does not name are kept too; they are compared as their 32 bits.
TEST(BugProperties, BugTypeKeepsUnnamedValues) {
    auto bug = engine::CreateObject<CBug>();
    bug->Data().bugType = 7;
    int32_t raw = 0;
    static_assert(sizeof raw == sizeof(tagBugType));
    EXPECT_EQ(bug->get_BugType(reinterpret_cast<tagBugType*>(&raw)), S_OK);
    EXPECT_EQ(raw, 7);
}

TEST(BugProperties, ProductIsANullReference) {
    auto bug = engine::CreateObject<CBug>();
    IProduct* product = reinterpret_cast<IProduct*>(0x1);
    EXPECT_EQ(bug->get_Product(&product), S_OK);
    EXPECT_EQ(product, nullptr);
}

TEST(BugCopy, CopiesEveryFieldButTheTypeAndSharesTheSession) {
    auto session = engine::CreateObject<engine::CExeContext>();
    auto source = engine::CreateObject<CBug>();
    engine::BugData& data = source->Data();
    data.id = 17;
    data.description = "d";
    data.workaround = "w";
    data.classificationID = 4;
    data.classification = "Printing";
    data.reportedByID = 2;
    data.reportedBy = "Pat";
    data.fixedInVersionID = 12;
    data.fixedInVersion = "2.0";
    data.lastModifiedBy = "Kim";
    data.verifiedDate = 45000.5;
    data.actualTime = 3.25;
    data.bugType = eFeature;
    source->SetContext(session.Get());

    auto target = engine::CreateObject<CBug>();
    target->Data().status = "old";
    ASSERT_EQ(target->Copy(source.Get()), S_OK);
    const engine::BugData& copied = target->Data();
    EXPECT_EQ(copied.id, 17);
    EXPECT_EQ(copied.status, "") << "the copy is whole, not a merge";
    EXPECT_EQ(copied.classification, "Printing");
    EXPECT_EQ(copied.reportedBy, "Pat");
    EXPECT_EQ(copied.fixedInVersionID, 12);
    EXPECT_EQ(copied.lastModifiedBy, "Kim");
    EXPECT_EQ(copied.verifiedDate, 45000.5);
    EXPECT_EQ(copied.actualTime, 3.25);
    EXPECT_EQ(copied.bugType, eBug) << "the target keeps its own type";
    EXPECT_EQ(target->Context().Get(), static_cast<IExeContext*>(session.Get()));

    // The copy is detached: changing it leaves the source alone.
    target->put_Description(Bstr("changed").Get());
    EXPECT_EQ(source->Data().description, "d");
}

TEST(BugCopy, CopyOfItselfChangesNothing) {
    auto bug = engine::CreateObject<CBug>();
    bug->Data().id = 3;
    bug->Data().description = "same";
    EXPECT_EQ(bug->Copy(bug.Get()), S_OK);
    EXPECT_EQ(bug->Data().id, 3);
    EXPECT_EQ(bug->Data().description, "same");
}

TEST(BugCopy, NullSourceIsRefusedAndChangesNothing) {
    auto bug = engine::CreateObject<CBug>();
    bug->Data().id = 3;
    EXPECT_EQ(bug->Copy(nullptr), E_POINTER);
    EXPECT_EQ(bug->Data().id, 3);
}

} // namespace
} // namespace velmora::test
