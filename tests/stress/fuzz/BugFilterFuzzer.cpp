// Bug filters and filter sets turned into the condition of a bug set over the sample database.
// The input describes a filter set, one line per step:
//   F|field|condition|andOr|vt|value   a filter set up through its interface (the value through
//                                      put_Value, which may refuse it);
//   R|field|condition|andOr|vt|value   a filter holding the value as it is, as a copied filter
//                                      does (no type check);
//   G|n                                put_NewGroup(n);
//   D|index                            Remove(index);
//   B                                  AddBatch of the set to itself (while it holds fewer
//                                      than 64 filters);
//   S|field|order                      the order the bug set is sorted in afterwards (the
//                                      low bits of each, as enumerations hold them).
// Condition and andOr are any 32-bit values, as a caller may pass them. vt picks the value's
// type: 0 EMPTY, 1 NULL, 2 I2, 3 I4, 4 R8, 5 DATE, 6 BSTR, 7 ERROR, 8 BOOL, 9 UI1 (the number
// modulo 10); the value text is read as that type (a text value is the rest of the line, quotes,
// NUL bytes and invalid UTF-8 included; a date is the OLE date number).
//
// The set's text is opened as a bug set, walked, re-sorted, applied as a row filter and
// refreshed. What must hold:
// - every call answers S_OK or E_FAIL, and the database never changes (one statement, read only);
// - a set whose every filter has a text of its own, joined by And or Or, opens: its text is a
//   valid condition whatever the values hold;
// - a lone text filter selects exactly the rows a statement with the value bound as a parameter
//   selects, so no value can change the condition;
// - copying a set without groups with AddBatch gives the same text.
#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "SqliteBudget.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/bugs/BugSet.h"
#include "engine/bugs/FilterFieldTypes.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"

namespace {

namespace fuzz = velmora::fuzz;
namespace engine = velmora::engine;
using velmora::com::Bstr;
using velmora::com::ComPtr;
using velmora::com::Variant;

constexpr size_t kMostSteps = 32;
constexpr LONG kMostFiltersCopied = 64;
constexpr int kMostRowsWalked = 16;

// The sample database, made once per process.
class SampleDatabase {
  public:
    SampleDatabase() : path_(fuzz::Scratch::Get().Root() / "filters.mdb") {
        fuzz::InstallSqliteBudget();
        fuzz::MakeSampleDatabase(path_);
        pristine_ = fuzz::ReadBytes(path_);
        velmora::db::SetProcessConnectionString(velmora::db::MakeConnectionString(path_.string()));
        connection_.Open(velmora::db::ProcessConnectionString());
        if (sqlite3_open_v2(path_.c_str(), &reader_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            fuzz::FuzzFailure(__FILE__, __LINE__, "cannot open the sample database");
    }
    ~SampleDatabase() { sqlite3_close(reader_); }
    SampleDatabase(const SampleDatabase&) = delete;
    SampleDatabase& operator=(const SampleDatabase&) = delete;

    bool Unchanged() const { return fuzz::ReadBytes(path_) == pristine_; }
    sqlite3* Reader() const { return reader_; }

  private:
    std::filesystem::path path_;
    std::string pristine_;
    // Held open for the whole run, so that the bug sets of every input share its database handle
    // instead of opening the file again each time.
    velmora::db::Connection connection_;
    sqlite3* reader_ = nullptr; // the harness's own handle, for the expected answers
};

const SampleDatabase& Sample() {
    static const SampleDatabase sample;
    return sample;
}

// The 32 bits a caller passed for an enumeration, stored as they are.
template <class Enum> void StoreRaw(Enum& target, int32_t raw) {
    static_assert(sizeof(Enum) == sizeof(raw));
    std::memcpy(&target, &raw, sizeof raw);
}
template <class Enum> int32_t RawOf(const Enum& value) {
    int32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return raw;
}

Variant ValueOf(std::string_view typeText, std::string_view text) {
    static constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_NULL, VT_I2,    VT_I4,   VT_R8,
                                         VT_DATE,  VT_BSTR, VT_ERROR, VT_BOOL, VT_UI1};
    const VARTYPE type =
        kTypes[static_cast<uint32_t>(fuzz::Int32Of(typeText)) % (sizeof kTypes / sizeof kTypes[0])];
    Variant value;
    value.vt = type;
    switch (type) {
    case VT_I2:
        value.iVal = static_cast<SHORT>(fuzz::Int32Of(text));
        break;
    case VT_I4:
    case VT_ERROR:
        value.lVal = fuzz::Int32Of(text);
        break;
    case VT_R8:
        value.dblVal = fuzz::DoubleOf(text);
        break;
    case VT_DATE:
        value.date = fuzz::DoubleOf(text);
        break;
    case VT_BSTR: {
        const std::u16string wide = velmora::com::ToUtf16(text);
        value.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        break;
    }
    case VT_BOOL:
        value.boolVal = fuzz::Int32Of(text) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_UI1:
        value.bVal = static_cast<BYTE>(fuzz::Int32Of(text));
        break;
    default:
        break;
    }
    return value;
}

ComPtr<engine::CBugFilter> MakeFilter(const std::vector<std::string_view>& fields, bool checked) {
    auto filter = engine::CreateObject<engine::CBugFilter>();
    filter->put_Field(Bstr(fields[1]).Get());
    StoreRaw(filter->Data().condition, fuzz::Int32Of(fields[2]));
    StoreRaw(filter->Data().andOr, fuzz::Int32Of(fields[3]));
    const Variant value = ValueOf(fields[4], fields[5]);
    if (checked) {
        const HRESULT hr = filter->put_Value(value);
        FUZZ_CHECK(hr == S_OK || hr == E_FAIL, "put_Value answered " + std::to_string(hr));
    } else {
        VariantCopy(&filter->Data().value, &value);
    }
    return filter;
}

struct Description {
    ComPtr<engine::CBugFilterSet> set = engine::CreateObject<engine::CBugFilterSet>();
    int32_t sortField = ColStatus;
    int32_t sortOrder = eDesc;
};

Description Describe(std::string_view text) {
    Description described;
    size_t steps = 0;
    for (const std::string_view line : fuzz::Lines(text)) {
        if (line.empty() || ++steps > kMostSteps) continue;
        const auto fields = fuzz::Fields(line, 6);
        switch (line[0]) {
        case 'F':
        case 'R':
            if (fields.size() == 6) described.set->Add(MakeFilter(fields, line[0] == 'F').Get());
            break;
        case 'G':
            if (fields.size() > 1) described.set->put_NewGroup(fuzz::Int32Of(fields[1]));
            break;
        case 'D':
            if (fields.size() > 1) described.set->Remove(fuzz::Int32Of(fields[1]));
            break;
        case 'B': {
            // Each copy doubles the set; beyond a few hundred conditions SQLite refuses a
            // statement as too deep, which is a clean failure but no longer a test of the text.
            LONG count = 0;
            described.set->get_Count(&count);
            if (count < kMostFiltersCopied) described.set->AddBatch(described.set.Get());
            break;
        }
        case 'S':
            if (fields.size() > 2) {
                described.sortField = fuzz::Int32Of(fields[1]);
                described.sortOrder = fuzz::Int32Of(fields[2]);
            }
            break;
        default:
            break;
        }
    }
    return described;
}

engine::BugFilterData& DataOf(const ComPtr<engine::CBugFilterSet>& set, LONG index) {
    ComPtr<IBugFilter> item;
    set->get_Item(index, item.Put());
    return engine::ImplementationOf<engine::CBugFilter>(item.Get())->Data();
}

// Whether the filter's own text is a condition SQL reads: it has a text, its operator is not the
// bare NOT (which only a date range takes), and it joins to the one before with And or Or.
bool FormsCondition(const ComPtr<engine::CBugFilterSet>& set, LONG index) {
    ComPtr<IBugFilter> item;
    set->get_Item(index, item.Put());
    Bstr text;
    if (item->GetSQL(text.Put()) != S_OK) return false;
    const engine::BugFilterData& data = DataOf(set, index);
    const int32_t andOr = RawOf(data.andOr);
    if (index > 0 && andOr != LogAnd && andOr != LogOr) return false;
    return RawOf(data.condition) != Not || data.value.vt == VT_DATE;
}

void CheckAnswer(HRESULT hr, const char* call) {
    FUZZ_CHECK(hr == S_OK || hr == E_FAIL, std::string(call) + " answered " + std::to_string(hr));
}

// The rows a lone text filter must select, with its value bound as a parameter; -1 when it is not
// such a filter.
LONG ExpectedRows(const ComPtr<engine::CBugFilterSet>& set) {
    LONG count = 0;
    set->get_Count(&count);
    if (count != 1) return -1;
    const engine::BugFilterData& data = DataOf(set, 0);
    static constexpr const char* kOperators[] = {
        " = ", " <> ", " > ", " >= ", " < ", " <= ", "", " LIKE "};
    const int32_t condition = RawOf(data.condition);
    if (condition < Equal || condition > Like || condition == Not) return -1;
    if (engine::FilterValueType(data.field) != VT_BSTR || data.value.vt != VT_BSTR) return -1;
    const std::string value = velmora::com::ToUtf8(data.value.bstrVal);
    if (value.find('\0') != std::string::npos) return -1;
    const std::string sql =
        "SELECT COUNT(*) FROM tBugReport WHERE " + data.field + kOperators[condition - 1] + "?1";
    sqlite3_stmt* statement = nullptr;
    LONG rows = -1;
    if (sqlite3_prepare_v2(Sample().Reader(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_bind_text(statement, 1, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        rows = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return rows;
}

void WalkBugs(engine::CBugSet& bugs) {
    CheckAnswer(bugs.First(), "First");
    for (int row = 0; row < kMostRowsWalked; ++row) {
        LONG end = 1;
        CheckAnswer(bugs.IsEnd(&end), "IsEnd");
        if (end) break;
        ComPtr<IBug> bug;
        CheckAnswer(bugs.get_CurItem(bug.Put()), "CurItem");
        CheckAnswer(bugs.Next(), "Next");
    }
}

void RunAsBugSet(const Description& described) {
    const ComPtr<engine::CBugFilterSet>& set = described.set;
    LONG filters = 0;
    set->get_Count(&filters);
    bool formsCondition = true;
    for (LONG i = 0; i < filters; ++i)
        formsCondition = formsCondition && FormsCondition(set, i);

    Bstr text;
    const HRESULT textResult = set->GetSQL(text.Put());
    CheckAnswer(textResult, "GetSQL");
    if (formsCondition) FUZZ_CHECK(textResult == S_OK, "a set of sound filters has no text");

    LONG grouped = 0;
    set->get_NewGroup(&grouped);
    if (textResult == S_OK && grouped == 0) {
        auto copy = engine::CreateObject<engine::CBugFilterSet>();
        CheckAnswer(copy->AddBatch(set.Get()), "AddBatch");
        Bstr copied;
        CheckAnswer(copy->GetSQL(copied.Put()), "GetSQL of a copy");
        FUZZ_CHECK(copied.Utf8() == text.Utf8(),
                   "a copied set reads " + copied.Utf8() + " instead of " + text.Utf8());
    }

    auto bugs = engine::CreateObject<engine::CBugSet>();
    const HRESULT opened = bugs->Open(set.Get());
    CheckAnswer(opened, "Open");
    if (formsCondition)
        FUZZ_CHECK(opened == S_OK, "the bug set refused the condition " + text.Utf8());
    if (opened == S_OK) {
        LONG rows = -1;
        CheckAnswer(bugs->get_Count(&rows), "Count");
        const LONG expected = ExpectedRows(set);
        if (expected >= 0)
            FUZZ_CHECK(rows == expected, "the condition " + text.Utf8() + " selects " +
                                             std::to_string(rows) + " rows instead of " +
                                             std::to_string(expected));
        WalkBugs(*bugs.Get());
        // Passed by value, the field and order can only hold values of their enumerations.
        CheckAnswer(bugs->Sort(static_cast<eBugField>(described.sortField & 31),
                               static_cast<eOrder>(described.sortOrder & 1)),
                    "Sort");
        CheckAnswer(bugs->put_FilterSet(set.Get()), "put_FilterSet");
        WalkBugs(*bugs.Get());
        CheckAnswer(bugs->Refresh(), "Refresh");
        CheckAnswer(bugs->Close(), "Close");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sample();
    fuzz::StartSqliteBudget();
    RunAsBugSet(Describe(fuzz::AsText(data, size)));
    FUZZ_CHECK(Sample().Unchanged(), "a filter changed the database");
    SetErrorInfo(0, nullptr);
    fuzz::Scratch::Get().DiscardErrorLog();
    return 0;
}
