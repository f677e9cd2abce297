// Copying one bug into another.
#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/bugs/Bug.h"
#include "engine/com/EngineObjects.h"
#include "engine/session/ExeContext.h"

namespace velmora::test {
namespace {

using com::Bstr;
using engine::CBug;

TEST(BugCopy, CopiesEveryFieldButTheTypeAndSharesTheSession) {
    auto session = engine::CreateObject<engine::CExeContext>();
    auto source = engine::CreateObject<CBug>();
    engine::BugData& data = source->Data();
    data.id = 17;
    data.description = "d";
    data.fixedInVersionID = 12;
    data.verifiedDate = 45000.5;
    data.bugType = eFeature;
    source->SetContext(session.Get());

    auto target = engine::CreateObject<CBug>();
    target->Data().status = "old";
    ASSERT_EQ(target->Copy(source.Get()), S_OK);
    const engine::BugData& copied = target->Data();
    EXPECT_EQ(copied.id, 17);
    EXPECT_EQ(copied.status, "") << "the copy is whole, not a merge";
    EXPECT_EQ(copied.fixedInVersionID, 12);
    EXPECT_EQ(copied.verifiedDate, 45000.5);
    EXPECT_EQ(copied.bugType, eBug) << "the target keeps its own type";
    EXPECT_EQ(target->Context().Get(), static_cast<IExeContext*>(session.Get()));

    // The copy is detached; a copy of itself changes nothing; a null source is refused; a null
    // text is the empty text.
    target->put_Description(Bstr("changed").Get());
    EXPECT_EQ(source->Data().description, "d");
    EXPECT_EQ(source->Copy(source.Get()), S_OK);
    EXPECT_EQ(source->Copy(nullptr), E_POINTER);
    EXPECT_EQ(source->Data().description, "d");
    EXPECT_EQ(source->Data().id, 17);
    EXPECT_EQ(source->put_Description(nullptr), S_OK);
    EXPECT_EQ(source->Data().description, "");
}

} // namespace
} // namespace velmora::test
