#pragma once
// Texts that would change a statement if any of them reached SQL unquoted: quotes, statement
// separators, comment markers, LIKE wildcards, date-literal look-alikes, parameter markers,
// control and non-ASCII characters, and long texts.
#include <string>
#include <vector>

namespace velmora::test {

struct HostileText {
    const char* name; // shown when a check fails
    std::string text;
};

inline std::vector<HostileText> HostileTexts(size_t longLength = 1 << 20) {
    std::string controls;
    for (int c = 1; c < 32; ++c)
        controls += static_cast<char>(c);
    std::string longText;
    longText.reserve(longLength);
    while (longText.size() < longLength)
        longText += "O'Brien; -- /* % _ */ ";
    longText.resize(longLength);
    return {
        {"single quote", "O'Brien"},
        {"quotes only", "''''"},
        {"closing quote and statement", "x'; DROP TABLE tBugReport; --"},
        {"tautology", "x' OR '1'='1"},
        {"comment markers", "/* not a comment */ -- nor this"},
        {"wildcards", "100% _done_"},
        {"semicolons", ";;;"},
        {"double quotes and brackets", "\"quoted\" [bracketed] `ticked`"},
        {"date literal", "due #1/2/2000# or #12/31/1999#"},
        {"parameter markers", "? ?1 :name @name $name"},
        {"backslashes", "C:\\temp\\new\\"},
        {"control characters", controls},
        {"non-ASCII", "Grüße, Ærøskøbing, 日本語, emoji \xF0\x9F\x90\x9B"},
        {"leading and trailing blanks", "  padded  "},
        {"one megabyte", longText},
    };
}

} // namespace velmora::test
