// The condition text of one filter: operators and value texts, doubled quotes, day literals, and
// the filters that have no text.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "FilterTestSupport.h"

namespace velmora::test {
namespace {

using BugFilterSql = FilterTest;

TEST_F(BugFilterSql, WritesEachOperatorAndValueTypeWithQuotesDoubled) {
    EXPECT_EQ(SqlOf(MakeFilter("StatusName", NotEqual, Text("Closed"))), "StatusName <> 'Closed'");
    EXPECT_EQ(SqlOf(MakeFilter("BugID", LargerThan, Variant(100))), "BugID > 100");
    EXPECT_EQ(SqlOf(MakeFilter("Description", Not, Text("x"))), "Description NOT 'x'");
    EXPECT_EQ(SqlOf(MakeFilter("ClassID", LessEqual, Variant(-3))), "ClassID <= -3");
    EXPECT_EQ(SqlOf(MakeFilter("BugType", LargerEqual, Byte(255))), "BugType >= 255");
    EXPECT_EQ(SqlOf(MakeFilter("bugid", LessThan, Variant(7))), "bugid < 7"); // field as written
    EXPECT_EQ(SqlOf(MakeFilter("ReportedBy", Equal, Text("O'Brien"))), "ReportedBy = 'O''Brien'");
    EXPECT_EQ(SqlOf(MakeFilter("Description", Equal, Text("x' OR 'a'='a"))),
              "Description = 'x'' OR ''a''=''a'");
    EXPECT_EQ(SqlOf(MakeFilter("Report", Like, Text("%''"))), "Report LIKE '%'''''");
    EXPECT_EQ(Logged(), 0);
}

// A value is judged by the type of the field set at that moment (looked up without regard to
// case); a refused value leaves the old one and is logged, without error information.
TEST_F(BugFilterSql, ValuesMustHaveTheExactTypeOfTheirField) {
    LONG target = 5;
    Variant reference;
    reference.vt = VT_I4 | VT_BYREF;
    reference.plVal = &target;
    Variant shortInt;
    shortInt.vt = VT_I2;
    shortInt.iVal = 1;
    const struct {
        const char* field;
        const VARIANT& value;
        HRESULT expected;
    } cases[] = {
        {"bugid", Variant(7), S_OK},
        {"StatusName", Text("O'Brien"), S_OK},
        {"BugType", Byte(1), S_OK},
        {"DATEDUE", Date(38051.0), S_OK},
        {"ReportedInVersionID", Variant(3), S_OK},
        {"BugID", shortInt, E_FAIL},
        {"BugID", reference, E_FAIL},
        {"BugType", Variant(1), E_FAIL},
        {"StatusName", Variant(3), E_FAIL},
        {"", Variant(1), E_FAIL},
        {"BugID ", Variant(1), E_FAIL},
        {"FileContent", Text("x"), E_FAIL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        auto filter = engine::CreateObject<CBugFilter>();
        eLogCondition condition = Like;
        eLogOperation andOr = LogOr;
        filter->get_Condition(&condition);
        filter->get_AndOr(&andOr);
        EXPECT_EQ(condition, Equal);
        EXPECT_EQ(andOr, LogAnd);
        filter->put_Field(Bstr(c.field).Get());
        const int before = Logged(Entry(0, "CBugFilter::put_Value", "Type mismatch"));
        EXPECT_EQ(filter->put_Value(c.value), c.expected);
        Variant stored;
        filter->get_Value(&stored);
        EXPECT_EQ(stored.vt, c.expected == S_OK ? c.value.vt : VARTYPE(VT_EMPTY));
        EXPECT_EQ(Logged(Entry(0, "CBugFilter::put_Value", "Type mismatch")),
                  before + (c.expected == S_OK ? 0 : 1));
    }
    reference.vt = VT_EMPTY; // not owned
    EXPECT_EQ(ErrorDescription(), "<none>");

    auto filter = MakeFilter("ClassID", Equal, Variant(2));
    filter->put_Field(Bstr("Description").Get()); // changing the field keeps the value
    Variant stored;
    filter->get_Value(&stored);
    EXPECT_EQ(stored.lVal, 2);
}

// The next day crosses months, years and leap days; a time that rounds to the next midnight is
// that next day, as the date is shown.
TEST_F(BugFilterSql, DayLiteralsCrossMonthsYearsAndLeapDays) {
    const auto lessEqual = [](DATE date) {
        return SqlOf(MakeFilter("DateDue", LessEqual, Date(date)));
    };
    EXPECT_EQ(lessEqual(OleDate(2004, 2, 28)), "DateDue < #2/29/2004#");
    EXPECT_EQ(lessEqual(OleDate(2100, 2, 28)), "DateDue < #3/1/2100#");
    EXPECT_EQ(lessEqual(OleDate(1999, 12, 31, 23, 59, 59)), "DateDue < #1/1/2000#");
    EXPECT_EQ(lessEqual(OleDate(2004, 3, 6) - 1e-9), "DateDue < #3/7/2004#");
    EXPECT_EQ(lessEqual(0.0), "DateDue < #12/31/1899#");
}

TEST_F(BugFilterSql, FiltersWithoutATextAreLoggedAndRefused) {
    const auto refused = [&](const ComPtr<CBugFilter>& filter, const std::string& message) {
        const int before = Logged(Entry(0, "CBugFilter::GetSQL", message));
        Bstr sql;
        EXPECT_EQ(filter->GetSQL(sql.Put()), E_FAIL) << message;
        EXPECT_EQ(sql.Get(), nullptr);
        EXPECT_EQ(Logged(Entry(0, "CBugFilter::GetSQL", message)), before + 1) << message;
    };
    refused(engine::CreateObject<CBugFilter>(), "Type mismatch"); // an empty field has no type
    // A condition outside 1 to 8, judged before the field; any 32-bit value may arrive.
    auto filter = MakeFilter("BugID", Equal, Variant(1));
    for (LONG condition : {0, 9, 31, -1, INT32_MAX}) {
        filter->put_Condition(static_cast<eLogCondition>(condition));
        refused(filter, "Filter's parameter error");
    }
    // A value that no longer fits its field is not read as the field's type.
    filter = MakeFilter("ClassID", Equal, Variant(2));
    filter->put_Field(Bstr("Classification").Get());
    refused(filter, "Type mismatch");
    // A NUL would end the statement inside the quotes.
    Variant withNul;
    withNul.vt = VT_BSTR;
    const OLECHAR characters[] = {u'a', u'\0', u'\'', u'b'};
    withNul.bstrVal = SysAllocStringLen(characters, 4);
    refused(MakeFilter("Description", Equal, withNul), "Filter's parameter error");
    // Days that no date literal can name.
    for (const DATE date : {OleDate(9999, 12, 31), std::numeric_limits<double>::quiet_NaN(), -1e12})
        refused(MakeFilter("FixedDate", LargerThan, Date(date)), "Filter's parameter error");
    EXPECT_EQ(SqlOf(MakeFilter("FixedDate", LessThan, Date(OleDate(9999, 12, 31)))),
              "FixedDate < #12/31/9999#");
    EXPECT_EQ(ErrorDescription(), "<none>"); // the filter reports no error information
}

} // namespace
} // namespace velmora::test
