#include "RtfWriter.h"

#include <cstdint>

#include <velmora/ComSupport.h>

namespace velmora::demo {
namespace {

constexpr const char* kHeader = "{\\rtf1\\ansi\\ansicpg1252\\deff0"
                                "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                                "{\\f1\\fnil\\fcharset2 Symbol;}}"
                                "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
constexpr const char* kBulletStart = "\\pard{\\pntext\\f1\\'B7\\tab}"
                                     "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent360{\\pntxtb\\'B7}}"
                                     "\\fi-360\\li360 ";

} // namespace

std::string RtfEscape(std::string_view utf8) {
    std::string escaped;
    for (char16_t unit : com::ToUtf16(utf8)) {
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            escaped += '\\';
            escaped += static_cast<char>(unit);
        } else if (unit == u'\n') {
            escaped += "\\line ";
        } else if (unit >= 0x20 && unit < 0x80) {
            escaped += static_cast<char>(unit);
        } else if (unit >= 0x80) {
            // \uN takes a signed 16-bit number; "?" is what a reader without Unicode shows.
            escaped += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
        }
    }
    return escaped;
}

void RtfWriter::StartParagraph() {
    if (!inParagraph_) body_ += "\\pard ";
    inParagraph_ = true;
}

RtfWriter& RtfWriter::Text(std::string_view utf8) {
    StartParagraph();
    body_ += RtfEscape(utf8);
    return *this;
}

RtfWriter& RtfWriter::Bold(std::string_view utf8) {
    StartParagraph();
    body_ += "\\b " + RtfEscape(utf8) + "\\b0 ";
    return *this;
}

RtfWriter& RtfWriter::Italic(std::string_view utf8) {
    StartParagraph();
    body_ += "\\i " + RtfEscape(utf8) + "\\i0 ";
    return *this;
}

RtfWriter& RtfWriter::EndParagraph() {
    if (inParagraph_) body_ += "\\par\n";
    inParagraph_ = false;
    return *this;
}

RtfWriter& RtfWriter::Bullet(std::string_view utf8) {
    EndParagraph();
    body_ += kBulletStart + RtfEscape(utf8) + "\\par\n";
    return *this;
}

std::string RtfWriter::Document() const {
    std::string document = kHeader + body_;
    if (inParagraph_) document += "\\par\n";
    return document + "\\pard}";
}

} // namespace velmora::demo
