#pragma once
// A right: the yes/no permissions one role grants, a plain value holder with no reference to the
// session or the database. Every flag reads back 1 or 0; storing true in an editing flag also
// grants Read, since a right to change bugs is useless without the right to see them.
#include <array>
#include <string_view>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Every flag with whether storing true in it through the interface also sets Read, in the order
// the row mapping reads and writes their columns of tRight. Each column is named as its flag,
// except Statistic's (RightColumnName).
#define VELMORA_RIGHT_FLAGS(X)                                                                     \
    X(Add, true)                                                                                   \
    X(Delete, true)                                                                                \
    X(Read, false)                                                                                 \
    X(EditClass, true)                                                                             \
    X(EditPriority, true)                                                                          \
    X(EditSeverity, true)                                                                          \
    X(EditReproductive, true)                                                                      \
    X(EditReportedInVersion, true)                                                                 \
    X(EditReportedDate, true)                                                                      \
    X(EditFixedDate, true)                                                                         \
    X(EditFixedInVersion, true)                                                                    \
    X(EditVerifiedDate, true)                                                                      \
    X(EditEstimatedTime, true)                                                                     \
    X(EditDateDue, true)                                                                           \
    X(EditDescription, true)                                                                       \
    X(EditRecreateStep, true)                                                                      \
    X(EditWorkAround, true)                                                                        \
    X(EditReport, true)                                                                            \
    X(EditResolution, true)                                                                        \
    X(EditAttachment, true)                                                                        \
    X(ReportGen, false)                                                                            \
    X(Print, true)                                                                                 \
    X(Statistic, false)                                                                            \
    X(Add_Edit_Del_BugClass, false)                                                                \
    X(Add_Edit_Del_BugReproductive, false)                                                         \
    X(Add_Edit_Del_BugSeverity, false)                                                             \
    X(Add_Edit_Del_BugPriority, false)                                                             \
    X(Add_Edit_Del_BugStatus, false)                                                               \
    X(AssignProductToUser, false)                                                                  \
    X(AssignClassToUser, false)                                                                    \
    X(AddProduct, false)                                                                           \
    X(EditProduct, false)                                                                          \
    X(DeleteProduct, false)

enum class RightFlag {
#define VELMORA_RIGHT_ENUMERATOR(name, grantsRead) name,
    VELMORA_RIGHT_FLAGS(VELMORA_RIGHT_ENUMERATOR)
#undef VELMORA_RIGHT_ENUMERATOR
};

inline constexpr size_t kRightFlagCount = 33;
#define VELMORA_RIGHT_COUNT(name, grantsRead) +1
static_assert(kRightFlagCount == 0 VELMORA_RIGHT_FLAGS(VELMORA_RIGHT_COUNT), "one entry per flag");
#undef VELMORA_RIGHT_COUNT

// Whether storing true in the flag through the interface also sets Read.
bool GrantsRead(RightFlag flag);

// The tRight column that holds a flag, given the flag's name.
constexpr std::string_view RightColumnName(std::string_view flag) {
    return flag == "Statistic" ? "ViewStatistic" : flag;
}

// The flag columns of tRight in the order the row mapping reads and writes them.
struct RightColumn {
    RightFlag flag;
    std::string_view column;
};
inline constexpr std::array<RightColumn, kRightFlagCount> kRightColumns = {{
#define VELMORA_RIGHT_COLUMN(name, grantsRead) {RightFlag::name, RightColumnName(#name)},
    VELMORA_RIGHT_FLAGS(VELMORA_RIGHT_COLUMN)
#undef VELMORA_RIGHT_COLUMN
}};

class CRight : public CoClass<IRightStub, classes::Right> {
  public:
    // Engine side: the stored identifier and the flags as they are, without the Read rule.
    LONG ID() const { return id_; }
    void SetID(LONG id) { id_ = id; }
    bool Flag(RightFlag flag) const { return flags_[static_cast<size_t>(flag)]; }
    void SetFlag(RightFlag flag, bool value) { flags_[static_cast<size_t>(flag)] = value; }

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;

#define VELMORA_RIGHT_ACCESSORS(name, grantsRead)                                                  \
    HRESULT STDMETHODCALLTYPE get_##name(LONG* pVal) override {                                    \
        return GetFlag(RightFlag::name, pVal);                                                     \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE put_##name(LONG newVal) override {                                   \
        return PutFlag(RightFlag::name, newVal);                                                   \
    }
    VELMORA_RIGHT_FLAGS(VELMORA_RIGHT_ACCESSORS)
#undef VELMORA_RIGHT_ACCESSORS

  private:
    HRESULT GetFlag(RightFlag flag, LONG* pVal) const;
    HRESULT PutFlag(RightFlag flag, LONG newVal);

    LONG id_ = 0;
    std::array<bool, kRightFlagCount> flags_{};
};

} // namespace velmora::engine
