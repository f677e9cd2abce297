#pragma once
// The rows the row mapping reads and writes, as plain data. Each engine object that stands for a
// row derives from MappedRow<its row>, so the mapping copies between a record set and an object
// without knowing the object's class; the classes above build on this layer, never the reverse.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include <velmora/Velmora.h>

namespace velmora::engine {

// The part of an engine object that holds its row.
template <class Row> class MappedRow {
  public:
    Row& Data() { return data_; }
    const Row& Data() const { return data_; }

  protected:
    MappedRow() = default;
    ~MappedRow() = default;

    Row data_;
};

struct UserData {
    LONG id = 0; // UserID; 0 until stored
    std::string loginName;
    std::string userName;
    std::string description;
    std::string password;
    std::string email;
    std::string position;
    std::string address;
    std::string phone;
    std::string department;
};

struct UserSysInfoData {
    LONG id = 0;     // UserSystemInfoID; 0 until stored
    LONG userId = 0; // the user it describes (not on the interface)
    std::string cpu;
    std::string ieVersion;
    std::string memory;
    std::string netEnvironment;
    std::string os;
    std::string osBuild;
    std::string servicePack;
    std::string hardDisk;
    std::string note;
};

struct RoleData {
    LONG id = 0; // RoleID; 0 until stored
    std::string name;
    std::string description;
};

struct ClassificationData {
    LONG id = 0; // ClassificationID; 0 until stored
    std::string name;
    LONG productId = 0; // set by the classification set; 0 otherwise
};

struct VersionData {
    LONG id = 0; // VersionID; 0 until stored
    std::string name;
    std::string description;
    DATE releaseDate = 0.0;
};

struct ProductData {
    LONG id = 0; // ProductID; 0 until stored
    std::string name;
    std::string description;
};

// A product's row. Reading a product also reads its versions; the product object decides how it
// keeps them.
class ProductRow : public MappedRow<ProductData> {
  public:
    // Appends a new version with ID 0 and returns its row. Throws std::bad_alloc.
    virtual VersionData& AppendVersionRow(std::string name, std::string description,
                                          DATE releaseDate) = 0;

  protected:
    ~ProductRow() = default;
};

// The fields of a bug in the order of its row. Every name field belongs to the identifier
// before it: only that identifier's lookup setter, Copy or the row mapping writes it.
struct BugData {
    LONG id = 0;
    std::string description;
    std::string report;
    std::string recreateStep;
    std::string workaround;
    std::string resolution;
    std::string status;
    std::string priority;
    LONG classificationID = 0;
    std::string classification;
    std::string severity;
    std::string reproductive;
    LONG reportedByID = 0;
    std::string reportedBy;
    DATE reportedDate = 0.0;
    LONG reportedInVersionID = 0;
    std::string reportedInVersion;
    LONG fixedByID = 0;
    std::string fixedBy;
    DATE fixedDate = 0.0;
    LONG fixedInVersionID = 0;
    std::string fixedInVersion;
    LONG verifiedByID = 0;
    std::string verifiedBy;
    DATE verifiedDate = 0.0;
    LONG lastModifiedByID = 0;
    std::string lastModifiedBy;
    DATE lastModifiedDate = 0.0;
    DATE estimatedTime = 0.0;
    DATE actualTime = 0.0;
    DATE dateDue = 0.0;
    SHORT bugType = eBug; // any value is accepted
};

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

// A right's row: its identifier and every flag as stored, without the rule that an editing
// flag also grants Read.
struct RightData {
    LONG id = 0; // RightID; 0 until stored
    std::array<bool, kRightFlagCount> flags{};

    bool Flag(RightFlag flag) const { return flags[static_cast<size_t>(flag)]; }
    void SetFlag(RightFlag flag, bool value) { flags[static_cast<size_t>(flag)] = value; }
};

} // namespace velmora::engine
