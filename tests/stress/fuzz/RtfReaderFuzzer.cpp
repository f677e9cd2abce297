// The client's RTF parser (Qt-free, the part the client shows bug texts with):
// - any text is read to its end without a crash, a hang or a sanitizer report;
// - the model is in proportion to the text: no more characters than the text has, at most one
//   run per two characters, at most one paragraph per two characters and never more than the
//   paragraph limit, and the plain text at most a few times the input;
// - every run holds text, no surrogate stands without its partner, sizes, indents, list levels
//   and font references stay within their bounds;
// - reading is deterministic.
// The bytes are read twice: each byte as one character (as RTF files are), and, in pairs, as
// UTF-16 (as the engine stores texts, literal characters beyond ASCII included).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "client/rtf/RtfParser.h"

namespace velmora::fuzz {

// This target links neither the engine nor the shared fuzz support: it reports on its own.
void FuzzFailure(const char* file, int line, const std::string& what) {
    std::fprintf(stderr, "\n==fuzz== property broken at %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace velmora::fuzz

namespace {

namespace rtf = tarnwick::rtf;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool SurrogatesPaired(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i])) {
            if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return false;
            ++i;
        } else if (IsLowSurrogate(text[i])) {
            return false;
        }
    }
    return true;
}

void Check(const std::u16string& input) {
    const rtf::Document document = rtf::Parse(input);
    const size_t size = input.size();
    size_t characters = 0;
    size_t runs = 0;
    FUZZ_CHECK(document.paragraphs.size() <= size / 2 + 1, "more paragraphs than the text allows");
    FUZZ_CHECK(document.paragraphs.size() <= rtf::kMaxParagraphs, "paragraph limit passed");
    for (const rtf::Font& font : document.fonts)
        characters += font.family.size();
    for (const rtf::Paragraph& paragraph : document.paragraphs) {
        FUZZ_CHECK(paragraph.markerText.size() <= 32, "marker text too long");
        FUZZ_CHECK(paragraph.listLevel >= 0 && paragraph.listLevel <= 8, "list level out of range");
        for (int indent : {paragraph.leftIndent, paragraph.rightIndent, paragraph.firstLineIndent})
            FUZZ_CHECK(indent >= -rtf::kMaxIndentTwips && indent <= rtf::kMaxIndentTwips,
                       "indent out of range");
        characters += paragraph.markerText.size();
        runs += paragraph.runs.size();
        for (const rtf::Run& run : paragraph.runs) {
            FUZZ_CHECK(!run.text.empty(), "empty run");
            FUZZ_CHECK(SurrogatesPaired(run.text), "unpaired surrogate in a run");
            FUZZ_CHECK(run.format.halfPoints >= rtf::kMinHalfPoints &&
                           run.format.halfPoints <= rtf::kMaxHalfPoints,
                       "font size out of range");
            FUZZ_CHECK(run.format.font >= -1 &&
                           run.format.font < static_cast<int>(document.fonts.size()),
                       "run refers to no font");
            FUZZ_CHECK(run.format.hasColor || run.format.rgb == 0, "colour without a colour");
            FUZZ_CHECK(run.format.rgb <= 0xFFFFFF, "colour out of range");
            characters += run.text.size();
        }
    }
    FUZZ_CHECK(characters <= size, "more characters than the text has");
    FUZZ_CHECK(runs <= size / 2 + 1, "more runs than the text allows");
    const std::u16string plain = rtf::PlainText(document);
    FUZZ_CHECK(plain.size() <= 4 * size + 64, "plain text out of proportion");
    FUZZ_CHECK(rtf::PlainText(rtf::Parse(input)) == plain, "reading is not deterministic");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string bytes(size, u'\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = data[i];
    Check(bytes);
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i + 1 < size; i += 2)
        units[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    Check(units);
    return 0;
}
