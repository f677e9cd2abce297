#pragma once
// The control words the reader acts on, looked up by name.
#include <string_view>

namespace tarnwick::rtf {

enum class Word {
    Unknown,
    // Destinations: groups whose text is not body text.
    FontTable,
    ColorTable,
    MarkerText,     // \pntext, \listtext: the marker a list item shows
    ListDefinition, // \pn
    BulletText,     // \pntxtb
    NumberSuffix,   // \pntxta
    Hidden,         // pictures, objects, style sheets, headers and the like
    // Document.
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    Binary,
    // Font and colour tables.
    Font,
    Charset,
    Red,
    Green,
    Blue,
    // Characters.
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    FontSize,
    Color,
    UnicodeSkip,
    Unicode,
    // Text.
    Paragraph,
    Line,
    Tab,
    Cell,
    Symbol, // a word that stands for one character (\emdash, \bullet, ...)
    // Paragraphs.
    ParagraphDefault,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    ListOverride, // \ls
    ListLevel,    // \ilvl
    // Old-style numbering (\pn groups).
    NumberBullet,
    NumberBody,
    NumberLevel,
    NumberContinue,
    NumberDecimal,
    NumberUpperAlpha,
    NumberLowerAlpha,
    NumberUpperRoman,
    NumberLowerRoman,
};

struct WordInfo {
    Word word = Word::Unknown;
    char16_t symbol = 0; // the character of a Word::Symbol
};

WordInfo LookUpWord(std::string_view name);

} // namespace tarnwick::rtf
