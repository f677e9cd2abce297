#include "RtfText.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::tool {
namespace {

// Groups whose content is never shown.
bool IsHiddenDestination(std::string_view word) {
    static constexpr std::string_view hidden[] = {
        "fonttbl",   "colortbl",  "stylesheet",        "info",    "pict",      "header",
        "footer",    "headerl",   "headerr",           "footerl", "footerr",   "object",
        "themedata", "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl"};
    for (std::string_view name : hidden)
        if (word == name) return true;
    return false;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 bytes 0x80 to 0x9F; the others equal their Unicode code points.
char32_t FromCp1252(unsigned char byte) {
    static constexpr char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : byte;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Reader {
  public:
    explicit Reader(std::string_view rtf) : rtf_(rtf) {}

    std::string Run() {
        groups_.push_back({false, 1});
        while (pos_ < rtf_.size()) {
            const char c = rtf_[pos_++];
            if (c == '{') {
                groups_.push_back(groups_.back());
                starting_ = true;
                continue;
            }
            if (c == '}') {
                if (groups_.size() > 1) groups_.pop_back();
                starting_ = false;
                continue;
            }
            if (c == '\\') {
                ControlSequence();
                continue;
            }
            starting_ = false;
            if (c == '\r' || c == '\n') continue; // line breaks of the source mean nothing
            Emit(static_cast<unsigned char>(c) < 0x80 ? char32_t(c) : FromCp1252(c));
        }
        FlushSurrogate();
        while (!out_.empty() && (out_.back() == '\n' || out_.back() == ' '))
            out_.pop_back();
        return out_;
    }

  private:
    struct Group {
        bool hidden;
        int skipAfterUnicode; // \ucN: how many fallback characters follow a \u
    };

    void Emit(char32_t cp) {
        if (groups_.back().hidden) return;
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        FlushSurrogate();
        AppendUtf8(out_, cp);
    }
    void FlushSurrogate() {
        if (highSurrogate_) AppendUtf8(out_, 0xFFFD);
        highSurrogate_ = 0;
    }

    void ControlSequence() {
        if (pos_ >= rtf_.size()) return;
        const char c = rtf_[pos_];
        const bool groupStart = starting_;
        starting_ = false;
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            switch (c) {
            case '*':
                if (groupStart) groups_.back().hidden = true;
                return;
            case '\'': {
                const int high = pos_ < rtf_.size() ? HexDigit(rtf_[pos_]) : -1;
                const int low = pos_ + 1 < rtf_.size() ? HexDigit(rtf_[pos_ + 1]) : -1;
                if (high < 0 || low < 0) return;
                pos_ += 2;
                Emit(FromCp1252(static_cast<unsigned char>(high * 16 + low)));
                return;
            }
            case '~':
                Emit(0x00A0);
                return;
            case '_':
                Emit(0x2011);
                return;
            case '-':
                return; // optional hyphen
            case '\n':
            case '\r':
                Emit('\n');
                return;
            default:
                Emit(static_cast<unsigned char>(c)); // \\ \{ \}
                return;
            }
        }
        const size_t start = pos_;
        while (pos_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[pos_])))
            ++pos_;
        const std::string_view word = rtf_.substr(start, pos_ - start);
        bool hasNumber = false;
        bool negative = false;
        long long number = 0;
        if (pos_ < rtf_.size() && rtf_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        while (pos_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[pos_]))) {
            hasNumber = true;
            if (number < 1000000) number = number * 10 + (rtf_[pos_] - '0');
            ++pos_;
        }
        if (negative) number = -number;
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ') ++pos_; // the delimiter belongs to the word
        Word(word, hasNumber, number, groupStart);
    }

    void Word(std::string_view word, bool hasNumber, long long number, bool groupStart) {
        if (groupStart && (IsHiddenDestination(word) || word == "pntext")) {
            if (word == "pntext") { // the bullet of a list item
                Emit(0x2022);
                Emit(' ');
            }
            groups_.back().hidden = true;
            return;
        }
        if (word == "par" || word == "line" || word == "sect" || word == "page") {
            Emit('\n');
        } else if (word == "tab") {
            Emit('\t');
        } else if (word == "bullet") {
            Emit(0x2022);
        } else if (word == "emdash") {
            Emit(0x2014);
        } else if (word == "endash") {
            Emit(0x2013);
        } else if (word == "lquote") {
            Emit(0x2018);
        } else if (word == "rquote") {
            Emit(0x2019);
        } else if (word == "ldblquote") {
            Emit(0x201C);
        } else if (word == "rdblquote") {
            Emit(0x201D);
        } else if (word == "uc" && hasNumber) {
            groups_.back().skipAfterUnicode = static_cast<int>(number < 0 ? 0 : number);
        } else if (word == "u" && hasNumber) {
            Unicode(static_cast<char16_t>(static_cast<int16_t>(number)));
        }
    }

    void Unicode(char16_t unit) {
        if (groups_.back().hidden) return;
        pendingSkip_ = 0;
        if (unit >= 0xD800 && unit < 0xDC00) {
            FlushSurrogate();
            highSurrogate_ = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            if (highSurrogate_)
                AppendUtf8(out_,
                           0x10000 + ((char32_t(highSurrogate_) - 0xD800) << 10) + (unit - 0xDC00));
            else
                AppendUtf8(out_, 0xFFFD);
            highSurrogate_ = 0;
        } else {
            FlushSurrogate();
            AppendUtf8(out_, unit);
        }
        pendingSkip_ = groups_.back().skipAfterUnicode;
    }

    std::string_view rtf_;
    size_t pos_ = 0;
    std::vector<Group> groups_;
    bool starting_ = false; // just after "{": a control word here names the group
    int pendingSkip_ = 0;
    char16_t highSurrogate_ = 0;
    std::string out_;
};

} // namespace

std::string RtfToPlainText(std::string_view rtf) {
    if (rtf.substr(0, 5) != "{\\rtf") return std::string(rtf);
    return Reader(rtf).Run();
}

} // namespace velmora::tool
