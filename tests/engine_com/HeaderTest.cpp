// The public header: it stands alone as C++17, and its interfaces have their members in the
// slots callers rely on.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <velmora/Velmora.h>

int VelmoraHeaderAloneCount();

namespace {

// The vtable slot of a virtual member (the Itanium ABI stores 1 + its byte offset).
template <class M> size_t SlotOf(M member) {
    static_assert(sizeof(M) == 2 * sizeof(uintptr_t));
    uintptr_t representation[2];
    std::memcpy(representation, &member, sizeof(representation));
    return (representation[0] - 1) / sizeof(void*);
}

constexpr size_t kFirst = 7; // after IUnknown's 3 and IDispatch's 4 members

TEST(PublicHeader, CompilesAloneAsCxx17) {
    EXPECT_EQ(VelmoraHeaderAloneCount(), 3);
}

TEST(PublicHeader, MembersSitInTheirSlots) {
    EXPECT_EQ(SlotOf(&IBug::get_ID), kFirst);
    EXPECT_EQ(SlotOf(&IBug::get_AttachedFiles), kFirst + 21);
    EXPECT_EQ(SlotOf(&IBug::put_BugType), kFirst + 58);
    EXPECT_EQ(SlotOf(&IBugSet::put_Position), kFirst + 18);
    EXPECT_EQ(SlotOf(&IRight::put_DeleteProduct), kFirst + 66);
    EXPECT_EQ(SlotOf(&IExeContext::ChangePsw), kFirst + 32);
    EXPECT_EQ(SlotOf(&IUser::put_SysInfo), kFirst + 23);
    EXPECT_EQ(SlotOf(&ISysLog::Clear), kFirst + 3);
}

} // namespace
