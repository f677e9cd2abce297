#pragma once
// Decodes the bytes an RTF document writes as \'hh escapes, in the document's code page
// (\ansicpg, or a font's \fcharset). glibc's iconv does the work; Windows-1252 is built in, so
// text still reads when a code page is unknown or iconv cannot convert it.
#include <iconv.h>

#include <map>
#include <string>
#include <string_view>

namespace tarnwick::rtf {

// The Windows code page a font's \fcharset stands for; 0 when it names none (use the document's).
int CodePageOfCharset(int charset);

// The Symbol font's code points: the bullets lists write with it.
inline constexpr int kSymbolCodePage = 42;

class CodePageDecoder {
  public:
    CodePageDecoder() = default;
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    ~CodePageDecoder();

    // Appends the UTF-16 text of `bytes` in `codePage` to `out`; a byte sequence the code page
    // does not define becomes U+FFFD.
    void Decode(int codePage, std::string_view bytes, std::u16string& out);

  private:
    // A converter from the code page to UTF-16LE, opened once; nullptr when iconv has none.
    iconv_t Converter(int codePage);

    std::map<int, iconv_t> converters_;
};

// Windows-1252, byte by byte.
char16_t FromWindows1252(unsigned char byte);

} // namespace tarnwick::rtf
