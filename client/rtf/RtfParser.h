#pragma once
// Reads RTF text into the neutral document model. Handles what rich-text editors write: font and
// colour tables, character and paragraph formatting, bullets and numbering, code pages and
// Unicode escapes; skips pictures, objects and every destination it does not show. Any text is
// accepted: damaged or hostile input never crashes, runs in time linear in its size and makes a
// model no bigger than a small multiple of it.
#include <string>
#include <string_view>

#include "RtfModel.h"

namespace tarnwick::rtf {

// Groups nested deeper than this are skipped with everything inside them.
inline constexpr int kMaxGroupDepth = 1000;
// Paragraph marks beyond this many paragraphs become line breaks inside the last one.
inline constexpr size_t kMaxParagraphs = 100'000;

// Reads an RTF document. The text is UTF-16 as the engine stores it: characters above 127 that
// appear literally are taken as themselves, \'hh escapes are bytes in the document's code page.
// Text outside the outermost group is ignored.
Document Parse(std::u16string_view rtf);

// The text a reader sees: paragraphs joined with '\n', a list item's marker text and a tab
// before its text, line breaks as '\n'.
std::u16string PlainText(const Document& document);

} // namespace tarnwick::rtf
