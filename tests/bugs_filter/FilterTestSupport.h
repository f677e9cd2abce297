#pragma once
// Shared by the filter tests: the session fixture's private directory, error log and seed database
// (no session is opened), values of the byte, text and date filter types, filters built in one
// call, and what a failing member reported.
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/OleDate.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

using com::Variant;
using engine::CBugFilter;
using engine::CBugFilterSet;

inline Variant Byte(BYTE value) {
    Variant v;
    v.vt = VT_UI1;
    v.bVal = value;
    return v;
}
inline Variant Text(const std::string& text) {
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = com::AllocBstr(text);
    return v;
}
inline Variant Date(DATE date) {
    Variant v;
    v.vt = VT_DATE;
    v.date = date;
    return v;
}
inline DATE OleDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    const auto date = db::ToOleDate({year, month, day, hour, minute, second});
    if (!date) throw std::invalid_argument("no such date");
    return *date;
}

class FilterTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        SetErrorInfo(0, nullptr);
    }

    // Set up through the interface as a client does: the field first, then the value.
    static ComPtr<CBugFilter> MakeFilter(const std::string& field, eLogCondition condition,
                                         const Variant& value, eLogOperation andOr = LogAnd) {
        auto filter = engine::CreateObject<CBugFilter>();
        filter->put_Field(Bstr(field).Get());
        filter->put_Condition(condition);
        EXPECT_EQ(filter->put_Value(value), S_OK) << field;
        filter->put_AndOr(andOr);
        return filter;
    }

    // The text of a filter or a set; std::nullopt when GetSQL fails.
    template <class T> static std::optional<std::string> SqlOf(const ComPtr<T>& object) {
        Bstr sql;
        if (object->GetSQL(sql.Put()) != S_OK) return std::nullopt;
        return sql.Utf8();
    }

    // How many log entries start with the given head ("[ErrCode]: " alone counts them all).
    int Logged(const std::string& head = "[ErrCode]: ") const {
        const std::string log = ErrLog();
        int count = 0;
        for (size_t at = log.find(head); at != std::string::npos; at = log.find(head, at + 1))
            ++count;
        return count;
    }
};

} // namespace velmora::test
