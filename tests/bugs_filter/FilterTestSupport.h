#pragma once
// Shared by the filter tests: a private directory that receives the error log, values of each
// filter type, filters built in one call, and what a failing member reported.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/OleDate.h"
#include "engine/log/Log.h"

namespace velmora::test {

using com::Bstr;
using com::ComPtr;
using com::Variant;
using engine::CBugFilter;
using engine::CBugFilterSet;

inline Variant Int32(LONG value) {
    return Variant(value);
}
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

class FilterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-filter-XXXXXX");
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        log::SetLogDirectoryForTesting(dir_.string() + "/");
        SetErrorInfo(0, nullptr);
    }
    void TearDown() override {
        log::SetLogDirectoryForTesting("");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
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

    // The description the last failing member left for its caller, taken (and so cleared).
    static std::optional<std::string> TakeCallerError() {
        IErrorInfo* raw = nullptr;
        if (GetErrorInfo(0, &raw) != S_OK || !raw) return std::nullopt;
        auto info = ComPtr<IErrorInfo>::Adopt(raw);
        Bstr description;
        info->GetDescription(description.Put());
        return description.Utf8();
    }

    // How many log entries match; an empty source counts every entry.
    int Logged(int code = 0, const std::string& source = "", const std::string& text = "") const {
        std::ifstream file(dir_ / "Err.log", std::ios::binary);
        std::stringstream content;
        content << file.rdbuf();
        const std::string log = content.str();
        const std::string entry = source.empty() ? "[ErrCode]: "
                                                 : "[ErrCode]: " + std::to_string(code) +
                                                       "\r\n[Source]: " + source +
                                                       "\r\n[Description]: " + text + "\r\n\r\n";
        int count = 0;
        for (size_t at = log.find(entry); at != std::string::npos; at = log.find(entry, at + 1))
            ++count;
        return count;
    }

    std::filesystem::path dir_;
};

} // namespace velmora::test
