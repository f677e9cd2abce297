#pragma once
// The plain text of the rich texts the client stores: paragraphs and line breaks become line
// feeds, bullets become "• ", escapes become the characters they stand for, and formatting,
// font and colour tables and other hidden groups are dropped.
#include <string>
#include <string_view>

namespace velmora::tool {

// The plain text of an RTF document as UTF-8, without trailing line breaks. A text that does
// not start with "{\rtf" is not RTF and comes back unchanged.
std::string RtfToPlainText(std::string_view rtf);

} // namespace velmora::tool
