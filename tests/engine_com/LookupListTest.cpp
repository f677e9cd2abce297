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

TYPED_TEST(LookupList, KeepsTheOrderOfInsertion) {
    EXPECT_EQ(this->Count(), 0);
    this->Add("Normal");
    this->Add("Low");
    this->Add("Hôch");
    EXPECT_EQ(this->Count(), 3);
    EXPECT_EQ(this->Item(0), "Normal");
    EXPECT_EQ(this->Item(1), "Low");
    EXPECT_EQ(this->Item(2), "Hôch");
}

TYPED_TEST(LookupList, IgnoresExactDuplicatesOnly) {
    this->Add("Normal");
    this->Add("Normal");
    EXPECT_EQ(this->Count(), 1);
    this->Add("normal");
    this->Add("Normal ");
    EXPECT_EQ(this->Count(), 3);
    EXPECT_EQ(this->Item(1), "normal");
    this->Add("");
    this->Add("");
    EXPECT_EQ(this->Count(), 4);
    EXPECT_EQ(this->list_->Add(nullptr), S_OK); // null is the empty text, already there
    EXPECT_EQ(this->Count(), 4);
}

TYPED_TEST(LookupList, RemovesTheEqualEntryOnly) {
    this->Add("A");
    this->Add("B");
    this->Add("C");
    this->Remove("b");
    this->Remove("missing");
    EXPECT_EQ(this->Count(), 3);
    this->Remove("B");
    EXPECT_EQ(this->Count(), 2);
    EXPECT_EQ(this->Item(0), "A");
    EXPECT_EQ(this->Item(1), "C");
    this->Add("B"); // a removed entry can come back, at the end
    EXPECT_EQ(this->Item(2), "B");
}

TYPED_TEST(LookupList, GivesTheEmptyTextOutsideTheList) {
    this->Add("Only");
    EXPECT_EQ(this->Item(-1), "");
    EXPECT_EQ(this->Item(1), "");
    EXPECT_EQ(this->Item(0x7FFFFFFF), "");
    EXPECT_EQ(this->list_->get_Item(0, nullptr), E_POINTER);
    EXPECT_EQ(this->list_->get_Count(nullptr), E_POINTER);
}

TYPED_TEST(LookupList, TheEngineFillsItLikeAdd) {
    this->list_->AddEntry("New");
    this->list_->AddEntry("New");
    this->list_->AddEntry("Active");
    ASSERT_EQ(this->list_->Entries().size(), 2u);
    EXPECT_EQ(this->Item(1), "Active");
}

TEST(BugStatusList, ClearRemovesEveryEntry) {
    auto list = CreateObject<CBugStatus>();
    list->Add(Text("New").Get());
    list->Add(Text("Fixed").Get());
    EXPECT_EQ(list->Clear(), S_OK);
    LONG count = -1;
    list->get_Count(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(list->Clear(), S_OK);
}

} // namespace
} // namespace velmora::engine
