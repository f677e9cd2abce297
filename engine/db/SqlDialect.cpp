#include "SqlDialect.h"

#include "ErrorCodes.h"
#include "OleDate.h"
#include "SqlTokenizer.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace velmora::db {
namespace {

// A minimal scanner over the inside of a date literal.
class DateScanner {
  public:
    explicit DateScanner(std::string_view text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos_ == text_.size();
    }
    std::optional<int> Number(size_t* digits = nullptr) {
        const size_t start = pos_;
        int value = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])) &&
               pos_ - start < 6) {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
        }
        if (pos_ == start) return std::nullopt;
        if (digits != nullptr) *digits = pos_ - start;
        return value;
    }
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // "AM" or "PM" in any case: 0 for AM, 12 for PM, std::nullopt when neither follows.
    std::optional<int> Meridiem() {
        SkipBlanks();
        if (pos_ + 2 > text_.size()) return std::nullopt;
        const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_])));
        const char m = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_ + 1])));
        if (m != 'M' || (a != 'A' && a != 'P')) return std::nullopt;
        pos_ += 2;
        return a == 'P' ? 12 : 0;
    }
    size_t Position() const { return pos_; }
    void Rewind(size_t pos) { pos_ = pos; }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

int ExpandYear(int year, size_t digits) {
    if (digits > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year; // two-digit years as the provider reads them
}

// h:nn[:ss] [AM|PM]
bool ParseTime(DateScanner& scan, CivilDateTime& when) {
    scan.SkipBlanks();
    const auto hour = scan.Number();
    if (!hour || !scan.Take(':')) return false;
    const auto minute = scan.Number();
    if (!minute) return false;
    int second = 0;
    if (scan.Take(':')) {
        const auto s = scan.Number();
        if (!s) return false;
        second = *s;
    }
    int h = *hour;
    if (const auto meridiem = scan.Meridiem()) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + *meridiem;
    }
    when.hour = h;
    when.minute = *minute;
    when.second = second;
    return true;
}

bool ParseDate(DateScanner& scan, CivilDateTime& when) {
    size_t firstDigits = 0;
    const auto first = scan.Number(&firstDigits);
    if (!first) return false;
    if (scan.Take('-')) { // yyyy-mm-dd
        const auto month = scan.Number();
        if (!month || !scan.Take('-')) return false;
        const auto day = scan.Number();
        if (!day) return false;
        when.year = *first;
        when.month = *month;
        when.day = *day;
        return true;
    }
    if (!scan.Take('/')) return false; // m/d/yyyy
    const auto day = scan.Number();
    if (!day || !scan.Take('/')) return false;
    size_t yearDigits = 0;
    const auto year = scan.Number(&yearDigits);
    if (!year) return false;
    when.month = *first;
    when.day = *day;
    when.year = ExpandYear(*year, yearDigits);
    return true;
}

} // namespace

std::optional<double> ParseDateLiteral(std::string_view inner) {
    DateScanner scan(inner);
    scan.SkipBlanks();
    CivilDateTime when;
    const size_t start = scan.Position();
    // A time alone ("10:30") is a time on the epoch day.
    if (!ParseTime(scan, when) || !scan.AtEnd()) {
        scan.Rewind(start);
        when = CivilDateTime{};
        if (!ParseDate(scan, when)) return std::nullopt;
        if (!scan.AtEnd() && !ParseTime(scan, when)) return std::nullopt;
        if (!scan.AtEnd()) return std::nullopt;
    }
    return ToOleDate(when);
}

std::string FormatReal(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eE") == std::string::npos && std::isfinite(value)) text += ".0";
    return text;
}

std::string TranslateDateLiterals(const std::string& sql) {
    std::string out;
    out.reserve(sql.size());
    for (const Token& token : Tokenize(sql)) {
        if (token.kind != TokenKind::DateLiteral) {
            out.append(sql, token.begin, token.end - token.begin);
            continue;
        }
        const auto date = ParseDateLiteral(token.inner);
        if (!date) {
            Fail(kErrCommand, "Syntax error in date in query expression '" +
                                  sql.substr(token.begin, token.end - token.begin) + "'.");
        }
        out += FormatReal(*date);
    }
    return out;
}

} // namespace velmora::db
