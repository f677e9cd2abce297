// The four lookup lists: ordered, unique under exact comparison, forgiving indexes.
#include <gtest/gtest.h>

#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "engine/admin/LookupLists.h"
#include "engine/com/EngineObjects.h"

namespace velmora::engine {
namespace {

using test::Text;

template <class T> class LookupList : public ::testing::Test {
  protected:
    com::ComPtr<T> list_ = CreateObject<T>();

    LONG Count() {
        LONG count = -1;
        EXPECT_EQ(list_->get_Count(&count), S_OK);
        return count;
    }
    std::string Item(LONG index) {
        com::Bstr text;
        EXPECT_EQ(list_->get_Item(index, text.Put()), S_OK);
        EXPECT_NE(text.Get(), nullptr);
        return text.Utf8();
    }
    void Add(const std::string& name) { EXPECT_EQ(list_->Add(Text(name).Get()), S_OK); }
    void Remove(const std::string& name) { EXPECT_EQ(list_->Remove(Text(name).Get()), S_OK); }
};

using Lists = ::testing::Types<CBugPriority, CBugSeverity, CBugReproductive, CBugStatus>;
TYPED_TEST_SUITE(LookupList, Lists);

// Entries keep their order of insertion; only exact duplicates are ignored, and only the exactly
// equal entry is removed.
TYPED_TEST(LookupList, KeepsOrderAndIgnoresExactDuplicatesOnly) {
    EXPECT_EQ(this->Count(), 0);
    for (const char* name : {"Normal", "Hôch", "Normal", "normal", "Normal ", "", ""})
        this->Add(name);
    EXPECT_EQ(this->list_->Add(nullptr), S_OK); // null is the empty text, already there
    EXPECT_EQ(this->Count(), 5);
    EXPECT_EQ(this->Item(1), "Hôch");
    EXPECT_EQ(this->Item(2), "normal");
    EXPECT_EQ(this->Item(4), "");

    this->Remove("hôch");
    this->Remove("missing");
    EXPECT_EQ(this->Count(), 5);
    this->Remove("Hôch");
    EXPECT_EQ(this->Count(), 4);
    EXPECT_EQ(this->Item(1), "normal");
    this->Add("Hôch"); // a removed entry can come back, at the end
    EXPECT_EQ(this->Item(4), "Hôch");
}

TYPED_TEST(LookupList, GivesTheEmptyTextOutsideTheList) {
    this->list_->AddEntry("Only"); // the engine fills it like Add
    this->list_->AddEntry("Only");
    EXPECT_EQ(this->Count(), 1);
    EXPECT_EQ(this->Item(-1), "");
    EXPECT_EQ(this->Item(1), "");
    EXPECT_EQ(this->Item(0x7FFFFFFF), "");
    EXPECT_EQ(this->list_->get_Item(0, nullptr), E_POINTER);
}

TEST(BugStatusList, ClearRemovesEveryEntry) {
    auto list = CreateObject<CBugStatus>();
    list->Add(Text("New").Get());
    list->Add(Text("Fixed").Get());
    EXPECT_EQ(list->Clear(), S_OK);
    LONG count = -1;
    list->get_Count(&count);
    EXPECT_EQ(count, 0);
}

} // namespace
} // namespace velmora::engine
