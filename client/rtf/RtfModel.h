#pragma once
// What an RTF document says, without any toolkit: paragraphs of formatted runs of UTF-16 text.
// The Qt side turns it into a QTextDocument; the fuzz target checks it on its own.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::rtf {

// The character formatting a run of text shares.
struct CharFormat {
    int font = -1;       // index into Document::fonts, -1 for the reader's default font
    int halfPoints = 24; // font size in half points (\fs), clamped to kMin/kMaxHalfPoints
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool hasColor = false; // false: the automatic colour
    std::uint32_t rgb = 0; // 0xRRGGBB when hasColor

    bool operator==(const CharFormat&) const = default;
};

inline constexpr int kMinHalfPoints = 2;    // 1 point
inline constexpr int kMaxHalfPoints = 1000; // 500 points

struct Run {
    std::u16string text; // \line is U+2028, \tab is U+0009
    CharFormat format;
};

enum class Alignment { Left, Center, Right, Justify };

enum class ListKind { None, Bullet, Number };

enum class NumberStyle { Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

// Where a paragraph's lines go: what \pard resets and every paragraph carries.
struct ParagraphLayout {
    Alignment alignment = Alignment::Left;
    // Indents in twips (1/1440 inch), clamped to +-kMaxIndentTwips.
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
};

struct Paragraph : ParagraphLayout {
    ListKind list = ListKind::None;
    NumberStyle numberStyle = NumberStyle::Decimal;
    int listLevel = 0;           // 0 for the outermost level
    std::u16string markerText;   // what the document shows as the item's marker ("•", "1.")
    std::u16string numberSuffix; // text after a number (\pntxta), "." when the document says none
    std::vector<Run> runs;
};

inline constexpr int kMaxIndentTwips = 31680; // 22 inches

struct Font {
    std::u16string family;
};

struct Document {
    std::vector<Font> fonts;
    std::vector<Paragraph> paragraphs;
};

} // namespace tarnwick::rtf
