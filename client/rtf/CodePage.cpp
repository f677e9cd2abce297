#include "CodePage.h"

#include <cerrno>
#include <string>

namespace tarnwick::rtf {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The code pages iconv is asked for; more would be open converters for nothing.
constexpr int kMaxConverters = 16;

// The Symbol font places a few common marks where Latin text has others.
char16_t FromSymbol(unsigned char byte) {
    switch (byte) {
    case 0xB7:
        return 0x2022; // bullet
    case 0xA7:
        return 0x2663; // club, an occasional list mark
    case 0xA8:
        return 0x2666;
    case 0xAE:
        return 0x2192;
    case 0xD8:
        return 0x00AC;
    default:
        return FromWindows1252(byte);
    }
}

} // namespace

char16_t FromWindows1252(unsigned char byte) {
    static constexpr char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t(byte);
}

int CodePageOfCharset(int charset) {
    switch (charset) {
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 850;
    default:
        return 0;
    }
}

CodePageDecoder::~CodePageDecoder() {
    for (auto& [codePage, converter] : converters_)
        if (converter != kNoConverter) iconv_close(converter);
}

iconv_t CodePageDecoder::Converter(int codePage) {
    if (const auto found = converters_.find(codePage); found != converters_.end())
        return found->second;
    if (converters_.size() >= kMaxConverters) return kNoConverter;
    iconv_t converter = kNoConverter;
    if (codePage > 0 && codePage < 100000) {
        const std::string number = std::to_string(codePage);
        const std::string names[] = {"CP" + number, "WINDOWS-" + number,
                                     codePage == 10000 ? "MACINTOSH" : "CP" + number};
        for (const std::string& name : names) {
            converter = iconv_open("UTF-16LE", name.c_str());
            if (converter != kNoConverter) break;
        }
    }
    converters_.emplace(codePage, converter);
    return converter;
}

void CodePageDecoder::Decode(int codePage, std::string_view bytes, std::u16string& out) {
    if (codePage == kSymbolCodePage) {
        for (char byte : bytes)
            out += FromSymbol(static_cast<unsigned char>(byte));
        return;
    }
    iconv_t converter = codePage == 1252 ? kNoConverter : Converter(codePage);
    if (converter == kNoConverter) {
        for (char byte : bytes)
            out += FromWindows1252(static_cast<unsigned char>(byte));
        return;
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string input(bytes);
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        const size_t produced = sizeof buffer - outLeft;
        for (size_t i = 0; i + 1 < produced; i += 2)
            out += char16_t(static_cast<unsigned char>(buffer[i]) |
                            (static_cast<unsigned char>(buffer[i + 1]) << 8));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte the code page does not define, or a lead byte without its trail byte.
            out += u'\uFFFD';
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

} // namespace tarnwick::rtf
