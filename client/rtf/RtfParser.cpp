#include "RtfParser.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "CodePage.h"
#include "RtfControlWords.h"

namespace tarnwick::rtf {
namespace {

// Numbers beyond this are clamped: no parameter the reader uses means anything larger.
constexpr long long kMaxParameter = 1'000'000'000;
// A control word is at most 32 letters; longer ones are read past as unknown.
constexpr size_t kMaxWordLength = 32;
// \ucN: fallback characters after \u. Writers use 0 to 2; more would only swallow text.
constexpr int kMaxUnicodeSkip = 16;
constexpr size_t kMaxFontNameLength = 256;
constexpr size_t kMaxMarkerLength = 32;
constexpr size_t kMaxFonts = 4096;
constexpr size_t kMaxColors = 65536;
constexpr int kMaxListLevel = 8;
constexpr int kDefaultCodePage = 1252;

enum class Destination {
    Body,
    Skip,
    FontTable,
    ColorTable,
    MarkerText,
    ListDefinition,
    BulletText,
    NumberSuffix
};

// Character formatting as the document states it: font and colour are table numbers.
struct CharState {
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int color = 0;

    bool operator==(const CharState&) const = default;
};

struct ParagraphState : ParagraphLayout {
    // From a \pn group.
    ListKind list = ListKind::None;
    NumberStyle numberStyle = NumberStyle::Decimal;
    int level = 0;
    std::u16string numberSuffix;
    // From \ls: an item of a list the (skipped) list table defines.
    bool tableList = false;
};

struct State {
    Destination destination = Destination::Body;
    CharState character;
    ParagraphState paragraph;
    int unicodeSkip = 1;
};

// What a \pn group defines; it applies to the paragraph when the group ends.
struct ListDefinition {
    ListKind list = ListKind::None;
    NumberStyle numberStyle = NumberStyle::Decimal;
    int level = 0;
    std::u16string bulletText;
    std::u16string numberSuffix;
};

struct FontEntry {
    int index = -1; // into Document::fonts
    int codePage = 0;
};

struct ColorEntry {
    bool has = false;
    std::uint32_t rgb = 0;
};

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
int HexValue(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
int Clamp(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}
void AppendCapped(std::u16string& text, char16_t c, size_t cap) {
    if (text.size() < cap) text += c;
}

// Guesses the kind of a list item whose list is defined in a table the reader skips, from the
// marker the document shows.
void GuessListFromMarker(Paragraph& paragraph) {
    const std::u16string& marker = paragraph.markerText;
    paragraph.list = ListKind::Bullet;
    if (marker.empty()) return;
    std::u16string body = marker;
    while (!body.empty() && (body.back() == u'.' || body.back() == u')'))
        body.pop_back();
    if (body.empty()) return;
    const bool digits = std::all_of(body.begin(), body.end(), IsDigit);
    const auto allOf = [&](std::u16string_view set) {
        return std::all_of(body.begin(), body.end(),
                           [&](char16_t c) { return set.find(c) != std::u16string_view::npos; });
    };
    NumberStyle style;
    if (digits) {
        style = NumberStyle::Decimal;
    } else if (allOf(u"ivxlcdm")) {
        style = NumberStyle::LowerRoman;
    } else if (allOf(u"IVXLCDM")) {
        style = NumberStyle::UpperRoman;
    } else if (body.size() == 1 && body[0] >= u'a' && body[0] <= u'z') {
        style = NumberStyle::LowerAlpha;
    } else if (body.size() == 1 && body[0] >= u'A' && body[0] <= u'Z') {
        style = NumberStyle::UpperAlpha;
    } else {
        return;
    }
    paragraph.list = ListKind::Number;
    paragraph.numberStyle = style;
    paragraph.numberSuffix = marker.substr(body.size());
}

// Replaces surrogates without their partner, which no text can show.
void RepairSurrogates(std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            text[i] = 0xFFFD;
        }
    }
}

class Parser {
  public:
    explicit Parser(std::u16string_view rtf) : rtf_(rtf) {}

    Document Read() {
        while (pos_ < rtf_.size() && !finished_) {
            const char16_t c = rtf_[pos_++];
            if (c == u'{') {
                OpenGroup();
            } else if (c == u'}') {
                CloseGroup();
            } else if (c == u'\\') {
                ControlSequence();
            } else if (overflow_ == 0 && !states_.empty()) {
                Literal(c);
            }
        }
        Flush();
        if (!states_.empty() && !finished_) EndParagraph(false, true);
        for (Paragraph& paragraph : document_.paragraphs)
            for (rtf::Run& run : paragraph.runs)
                RepairSurrogates(run.text);
        return std::move(document_);
    }

  private:
    State& Top() { return states_.back(); }

    // ---- Groups ----

    void OpenGroup() {
        Flush();
        skip_ = 0;
        if (overflow_ > 0 || states_.size() > static_cast<size_t>(kMaxGroupDepth)) {
            ++overflow_;
            return;
        }
        states_.push_back(states_.empty() ? State{} : Top());
        groupStart_ = true;
        ignorable_ = false;
    }

    void CloseGroup() {
        Flush();
        skip_ = 0;
        groupStart_ = false;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (states_.empty()) return;
        if (states_.size() == 1) { // the document's own group
            EndParagraph(false, true);
            finished_ = true;
            return;
        }
        const Destination closing = Top().destination;
        if (closing == Destination::FontTable) CommitFont();
        states_.pop_back();
        if (closing == Destination::ListDefinition &&
            Top().destination != Destination::ListDefinition) {
            ParagraphState& paragraph = Top().paragraph;
            paragraph.list = listDefinition_.list;
            paragraph.numberStyle = listDefinition_.numberStyle;
            paragraph.level = listDefinition_.level;
            paragraph.numberSuffix = listDefinition_.numberSuffix;
            if (listDefinition_.list == ListKind::Bullet && current_.markerText.empty())
                current_.markerText = listDefinition_.bulletText;
        }
    }

    // ---- Tokens ----

    void Literal(char16_t c) {
        if (c == u'\r' || c == u'\n') return; // line breaks of the source mean nothing
        Flush();
        groupStart_ = false;
        if (ConsumeSkip()) return;
        if (c == u'\t') {
            Emit(u'\t');
        } else if (c >= 0x20) {
            Emit(c);
        }
        // Other control characters, NUL among them, are not text.
    }

    // True when the token is a fallback character of a \u and is dropped.
    bool ConsumeSkip() {
        if (skip_ == 0) return false;
        --skip_;
        return true;
    }

    void ControlSequence() {
        if (pos_ >= rtf_.size()) return; // a lone backslash at the end
        const char16_t c = rtf_[pos_];
        if (!IsAsciiLetter(c)) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        std::string name;
        while (pos_ < rtf_.size() && IsAsciiLetter(rtf_[pos_])) {
            if (name.size() <= kMaxWordLength) name += static_cast<char>(rtf_[pos_]);
            ++pos_;
        }
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (pos_ + 1 < rtf_.size() && rtf_[pos_] == u'-' && IsDigit(rtf_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < rtf_.size() && IsDigit(rtf_[pos_])) {
            hasParameter = true;
            parameter = std::min(parameter * 10 + (rtf_[pos_] - u'0'), kMaxParameter);
            ++pos_;
        }
        if (negative) parameter = -parameter;
        if (pos_ < rtf_.size() && rtf_[pos_] == u' ') ++pos_; // the delimiter is part of the word
        if (name.size() > kMaxWordLength) name.clear();
        ControlWord(name, hasParameter, parameter);
    }

    void ControlSymbol(char16_t c) {
        if (c == u'\'') {
            const int high = pos_ < rtf_.size() ? HexValue(rtf_[pos_]) : -1;
            const int low = pos_ + 1 < rtf_.size() ? HexValue(rtf_[pos_ + 1]) : -1;
            if (high < 0 || low < 0) { // a truncated escape stands for nothing
                if (high >= 0) ++pos_;
                Flush();
                return;
            }
            pos_ += 2;
            groupStart_ = false;
            if (overflow_ > 0 || ConsumeSkip()) return;
            pending_ += static_cast<char>(high * 16 + low);
            return;
        }
        Flush();
        const bool groupStart = groupStart_;
        groupStart_ = false;
        if (overflow_ > 0 || states_.empty()) return;
        if (c == u'*') {
            if (groupStart) {
                ignorable_ = true;
                groupStart_ = true; // the destination's word follows
            }
            return;
        }
        if (c == u'\r' || c == u'\n') { // a backslash before a line break is \par
            if (!ConsumeSkip()) EndParagraph(true);
            return;
        }
        if (ConsumeSkip()) return;
        switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            Emit(c);
            break;
        case u'~':
            Emit(0x00A0);
            break;
        case u'_':
            Emit(0x2011);
            break;
        case u'\t':
            Emit(u'\t');
            break;
        default:
            break; // \- (optional hyphen), \| and \: show nothing
        }
    }

    void ControlWord(const std::string& name, bool hasParameter, long long parameter) {
        Flush();
        const bool groupStart = groupStart_;
        const bool ignorable = ignorable_;
        groupStart_ = false;
        ignorable_ = false;
        const WordInfo info = LookUpWord(name);
        if (info.word == Word::Binary) { // binary data follows, whatever the destination
            const long long count = hasParameter ? std::max(0LL, parameter) : 0;
            pos_ += static_cast<size_t>(std::min<long long>(count, rtf_.size() - pos_));
            return;
        }
        if (overflow_ > 0 || states_.empty()) return;
        if (ConsumeSkip()) return;
        // A destination is the first word of its group (after \* when it may be ignored).
        if (Destination destination; groupStart && DestinationOf(info.word, destination)) {
            StartDestination(destination);
            return;
        }
        if (groupStart && ignorable) { // {\*\word ...} that the reader does not know
            Top().destination = Destination::Skip;
            return;
        }
        if (Top().destination == Destination::Skip) return;
        Apply(info, hasParameter, parameter);
    }

    static bool DestinationOf(Word word, Destination& destination) {
        switch (word) {
        case Word::FontTable:
            destination = Destination::FontTable;
            return true;
        case Word::ColorTable:
            destination = Destination::ColorTable;
            return true;
        case Word::MarkerText:
            destination = Destination::MarkerText;
            return true;
        case Word::ListDefinition:
            destination = Destination::ListDefinition;
            return true;
        case Word::BulletText:
            destination = Destination::BulletText;
            return true;
        case Word::NumberSuffix:
            destination = Destination::NumberSuffix;
            return true;
        case Word::Hidden:
            destination = Destination::Skip;
            return true;
        default:
            return false;
        }
    }

    void StartDestination(Destination destination) {
        State& state = Top();
        if (state.destination == Destination::Skip) return; // nothing inside a skipped group shows
        if (state.destination == Destination::FontTable && destination != Destination::Skip) return;
        switch (destination) {
        case Destination::FontTable:
            fontName_.clear();
            break;
        case Destination::ColorTable:
            ResetColor();
            break;
        case Destination::MarkerText:
            current_.markerText.clear();
            break;
        case Destination::ListDefinition:
            if (state.destination != Destination::ListDefinition) listDefinition_ = {};
            break;
        case Destination::BulletText:
            listDefinition_.bulletText.clear();
            break;
        case Destination::NumberSuffix:
            listDefinition_.numberSuffix.clear();
            break;
        default:
            break;
        }
        state.destination = destination;
    }

    void Apply(const WordInfo& info, bool hasParameter, long long parameter) {
        State& state = Top();
        CharState& character = state.character;
        ParagraphState& paragraph = state.paragraph;
        const bool on = !hasParameter || parameter != 0;
        switch (info.word) {
        case Word::Ansi:
            codePage_ = kDefaultCodePage;
            break;
        case Word::Mac:
            codePage_ = 10000;
            break;
        case Word::Pc:
            codePage_ = 437;
            break;
        case Word::Pca:
            codePage_ = 850;
            break;
        case Word::AnsiCodePage:
            if (hasParameter && parameter > 0 && parameter < 100000)
                codePage_ = static_cast<int>(parameter);
            break;
        case Word::DefaultFont:
            defaultFont_ = Clamp(parameter, -1, kMaxParameter);
            break;
        case Word::Font:
            if (state.destination == Destination::FontTable) {
                CommitFont();
                fontNumber_ = Clamp(parameter, 0, kMaxParameter);
                fontCharset_ = 0;
            } else {
                character.font = Clamp(parameter, 0, kMaxParameter);
            }
            break;
        case Word::Charset:
            if (state.destination == Destination::FontTable)
                fontCharset_ = Clamp(parameter, 0, 255);
            break;
        case Word::Red:
            SetColorComponent(16, parameter);
            break;
        case Word::Green:
            SetColorComponent(8, parameter);
            break;
        case Word::Blue:
            SetColorComponent(0, parameter);
            break;
        case Word::Plain:
            character = CharState{};
            break;
        case Word::Bold:
            character.bold = on;
            break;
        case Word::Italic:
            character.italic = on;
            break;
        case Word::Underline:
            character.underline = on;
            break;
        case Word::UnderlineNone:
            character.underline = false;
            break;
        case Word::Strike:
            character.strikeout = on;
            break;
        case Word::FontSize:
            character.halfPoints = hasParameter && parameter > 0
                                       ? Clamp(parameter, kMinHalfPoints, kMaxHalfPoints)
                                       : 24;
            break;
        case Word::Color:
            character.color = Clamp(parameter, 0, kMaxParameter);
            break;
        case Word::UnicodeSkip:
            state.unicodeSkip = Clamp(parameter, 0, kMaxUnicodeSkip);
            break;
        case Word::Unicode:
            if (hasParameter) {
                const int value = Clamp(parameter, -32768, 65535);
                Emit(static_cast<char16_t>(value < 0 ? value + 65536 : value));
                skip_ = state.unicodeSkip;
            }
            break;
        case Word::Paragraph:
            EndParagraph(true);
            break;
        case Word::Line:
            Emit(0x2028);
            break;
        case Word::Tab:
        case Word::Cell:
            Emit(u'\t');
            break;
        case Word::Symbol:
            Emit(info.symbol);
            break;
        case Word::ParagraphDefault:
            paragraph = ParagraphState{};
            break;
        case Word::LeftIndent:
            paragraph.leftIndent = Clamp(parameter, -kMaxIndentTwips, kMaxIndentTwips);
            break;
        case Word::RightIndent:
            paragraph.rightIndent = Clamp(parameter, -kMaxIndentTwips, kMaxIndentTwips);
            break;
        case Word::FirstLineIndent:
            paragraph.firstLineIndent = Clamp(parameter, -kMaxIndentTwips, kMaxIndentTwips);
            break;
        case Word::AlignLeft:
            paragraph.alignment = Alignment::Left;
            break;
        case Word::AlignCenter:
            paragraph.alignment = Alignment::Center;
            break;
        case Word::AlignRight:
            paragraph.alignment = Alignment::Right;
            break;
        case Word::AlignJustify:
            paragraph.alignment = Alignment::Justify;
            break;
        case Word::ListOverride:
            paragraph.tableList = hasParameter && parameter > 0;
            break;
        case Word::ListLevel:
            paragraph.level = Clamp(parameter, 0, kMaxListLevel);
            break;
        case Word::NumberBullet:
            listDefinition_.list = ListKind::Bullet;
            break;
        case Word::NumberBody:
            listDefinition_.list = ListKind::Number;
            break;
        case Word::NumberLevel:
            listDefinition_.list = ListKind::Number;
            listDefinition_.level = Clamp(parameter - 1, 0, kMaxListLevel);
            break;
        case Word::NumberContinue:
            listDefinition_.list = ListKind::None;
            break;
        case Word::NumberDecimal:
            listDefinition_.numberStyle = NumberStyle::Decimal;
            break;
        case Word::NumberUpperAlpha:
            listDefinition_.numberStyle = NumberStyle::UpperAlpha;
            break;
        case Word::NumberLowerAlpha:
            listDefinition_.numberStyle = NumberStyle::LowerAlpha;
            break;
        case Word::NumberUpperRoman:
            listDefinition_.numberStyle = NumberStyle::UpperRoman;
            break;
        case Word::NumberLowerRoman:
            listDefinition_.numberStyle = NumberStyle::LowerRoman;
            break;
        default:
            break; // every other word changes nothing the reader shows
        }
    }

    // ---- Text ----

    // The code page of the bytes of \'hh escapes under the current state.
    int CurrentCodePage() const {
        if (states_.empty()) return codePage_;
        const State& state = states_.back();
        if (state.destination == Destination::FontTable) return CodePageOf(fontCharset_);
        const int number = state.character.font >= 0 ? state.character.font : defaultFont_;
        const auto found = fonts_.find(number);
        if (found != fonts_.end() && found->second.codePage != 0) return found->second.codePage;
        return codePage_;
    }
    int CodePageOf(int charset) const {
        const int codePage = CodePageOfCharset(charset);
        return codePage != 0 ? codePage : codePage_;
    }

    // Decodes the bytes of the \'hh escapes read so far.
    void Flush() {
        if (pending_.empty()) return;
        decoded_.clear();
        decoder_.Decode(CurrentCodePage(), pending_, decoded_);
        pending_.clear();
        for (char16_t c : decoded_)
            Emit(c);
    }

    void Emit(char16_t c) {
        if (states_.empty()) return;
        State& state = Top();
        switch (state.destination) {
        case Destination::Body:
            AppendToParagraph(c, state.character);
            break;
        case Destination::FontTable:
            if (c == u';') {
                CommitFont();
            } else {
                AppendCapped(fontName_, c, kMaxFontNameLength);
            }
            break;
        case Destination::ColorTable:
            if (c == u';') CommitColor();
            break;
        case Destination::MarkerText:
            if (c != u'\t') AppendCapped(current_.markerText, c, kMaxMarkerLength);
            break;
        case Destination::BulletText:
            AppendCapped(listDefinition_.bulletText, c, kMaxMarkerLength);
            break;
        case Destination::NumberSuffix:
            AppendCapped(listDefinition_.numberSuffix, c, kMaxMarkerLength);
            break;
        case Destination::ListDefinition:
        case Destination::Skip:
            break;
        }
    }

    void AppendToParagraph(char16_t c, const CharState& character) {
        if (current_.runs.empty() || !(character == lastState_)) {
            const CharFormat format = Resolve(character);
            if (current_.runs.empty() || !(current_.runs.back().format == format))
                current_.runs.push_back(rtf::Run{{}, format});
            lastState_ = character;
        }
        current_.runs.back().text += c;
    }

    CharFormat Resolve(const CharState& character) const {
        CharFormat format;
        const int number = character.font >= 0 ? character.font : defaultFont_;
        if (const auto found = fonts_.find(number); found != fonts_.end())
            format.font = found->second.index;
        format.halfPoints = character.halfPoints;
        format.bold = character.bold;
        format.italic = character.italic;
        format.underline = character.underline;
        format.strikeout = character.strikeout;
        if (character.color >= 0 && static_cast<size_t>(character.color) < colors_.size() &&
            colors_[character.color].has) {
            format.hasColor = true;
            format.rgb = colors_[character.color].rgb;
        }
        return format;
    }

    // Ends the paragraph being read. `always`: a paragraph mark ends it even when it is empty;
    // the end of the document (`atEnd`, wherever it is cut) keeps only a paragraph that holds
    // something.
    void EndParagraph(bool always, bool atEnd = false) {
        if (states_.empty() || (!atEnd && Top().destination != Destination::Body)) return;
        if (!always && current_.runs.empty() && current_.markerText.empty()) return;
        if (document_.paragraphs.size() >= kMaxParagraphs - 1 && !atEnd) {
            // So many paragraphs are no text anyone wrote: the rest go on as lines of the last
            // one, which keeps the text and bounds what the document costs.
            AppendToParagraph(0x2028, Top().character);
            return;
        }
        const ParagraphState& state = Top().paragraph;
        static_cast<ParagraphLayout&>(current_) = state;
        current_.listLevel = state.level;
        while (!current_.markerText.empty() &&
               (current_.markerText.back() == u' ' || current_.markerText.back() == 0x00A0))
            current_.markerText.pop_back();
        for (char16_t& c : current_.markerText)
            if (c == 0xF0B7) c = 0x2022; // Symbol's bullet as Word writes it with \u
        if (state.list == ListKind::Bullet) {
            current_.list = ListKind::Bullet;
            if (current_.markerText.empty()) current_.markerText.assign(1, char16_t(0x2022));
        } else if (state.list == ListKind::Number) {
            current_.list = ListKind::Number;
            current_.numberStyle = state.numberStyle;
            current_.numberSuffix = state.numberSuffix.empty() ? u"." : state.numberSuffix;
        } else if (state.tableList || !current_.markerText.empty()) {
            GuessListFromMarker(current_);
        }
        document_.paragraphs.push_back(std::move(current_));
        current_ = Paragraph{};
        lastState_ = CharState{};
    }

    // ---- Tables ----

    void CommitFont() {
        if (fontNumber_ < 0) return;
        std::u16string name = fontName_;
        while (!name.empty() && name.back() == u' ')
            name.pop_back();
        while (!name.empty() && name.front() == u' ')
            name.erase(name.begin());
        if (fonts_.size() < kMaxFonts && !fonts_.contains(fontNumber_)) {
            fonts_[fontNumber_] = {static_cast<int>(document_.fonts.size()),
                                   CodePageOfCharset(fontCharset_)};
            document_.fonts.push_back(Font{std::move(name)});
        }
        fontNumber_ = -1;
        fontName_.clear();
    }

    void ResetColor() {
        color_ = 0;
        colorSet_ = false;
    }
    void SetColorComponent(int shift, long long value) {
        if (Top().destination != Destination::ColorTable) return;
        color_ = (color_ & ~(0xFFu << shift)) |
                 (static_cast<std::uint32_t>(Clamp(value, 0, 255)) << shift);
        colorSet_ = true;
    }
    void CommitColor() {
        if (colors_.size() < kMaxColors) colors_.push_back({colorSet_, color_});
        ResetColor();
    }

    std::u16string_view rtf_;
    size_t pos_ = 0;
    bool finished_ = false;
    std::vector<State> states_;
    int overflow_ = 0;        // groups opened beyond the depth limit, skipped
    bool groupStart_ = false; // the next control word is the first of its group
    bool ignorable_ = false;  // the group started with \*
    int skip_ = 0;            // fallback characters of a \u still to drop

    int codePage_ = kDefaultCodePage;
    int defaultFont_ = 0;
    std::string pending_; // bytes of \'hh escapes not yet decoded
    std::u16string decoded_;
    CodePageDecoder decoder_;

    std::map<int, FontEntry> fonts_;
    int fontNumber_ = -1;
    int fontCharset_ = 0;
    std::u16string fontName_;
    std::vector<ColorEntry> colors_;
    std::uint32_t color_ = 0;
    bool colorSet_ = false;
    ListDefinition listDefinition_;

    Document document_;
    Paragraph current_;
    CharState lastState_;
};

} // namespace

Document Parse(std::u16string_view rtf) {
    return Parser(rtf).Read();
}

std::u16string PlainText(const Document& document) {
    std::u16string text;
    bool first = true;
    for (const Paragraph& paragraph : document.paragraphs) {
        if (!first) text += u'\n';
        first = false;
        if (paragraph.list != ListKind::None && !paragraph.markerText.empty()) {
            text += paragraph.markerText;
            text += u'\t';
        }
        for (const Run& run : paragraph.runs)
            for (char16_t c : run.text)
                text += c == 0x2028 ? u'\n' : c;
    }
    return text;
}

} // namespace tarnwick::rtf
