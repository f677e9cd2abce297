// The text form of identifiers: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include <velmora/ComSupport.h>

#include <cstdio>

namespace {
constexpr size_t kGuidTextLength = 38; // without the terminator
}

namespace velmora::com {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[pos]; false when any of them is not a hex digit.
bool ReadHex(std::string_view text, size_t pos, size_t digits, uint32_t* value) {
    uint32_t result = 0;
    for (size_t i = 0; i < digits; ++i) {
        const int v = HexValue(text[pos + i]);
        if (v < 0) return false;
        result = (result << 4) | static_cast<uint32_t>(v);
    }
    *value = result;
    return true;
}

} // namespace

std::string GuidToString(const GUID& guid) {
    char text[kGuidTextLength + 1];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return std::string(text, kGuidTextLength);
}

bool GuidFromString(std::string_view text, GUID* guid) {
    if (!guid || text.size() != kGuidTextLength) return false;
    if (text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' || text[19] != '-' ||
        text[24] != '-')
        return false;
    GUID result{};
    uint32_t part = 0;
    if (!ReadHex(text, 1, 8, &part)) return false;
    result.Data1 = part;
    if (!ReadHex(text, 10, 4, &part)) return false;
    result.Data2 = static_cast<uint16_t>(part);
    if (!ReadHex(text, 15, 4, &part)) return false;
    result.Data3 = static_cast<uint16_t>(part);
    // Two bytes before the last hyphen, six after it.
    const size_t bytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePositions[i], 2, &part)) return false;
        result.Data4[i] = static_cast<uint8_t>(part);
    }
    *guid = result;
    return true;
}

} // namespace velmora::com

namespace {

// The braced form in UTF-16, or false when the text is not one (any non-ASCII character is).
bool GuidFromWide(LPCOLESTR text, GUID* guid) {
    std::string narrow;
    for (size_t i = 0; text[i] != 0; ++i) {
        if (text[i] > 0x7F || i >= kGuidTextLength) return false;
        narrow += static_cast<char>(text[i]);
    }
    return velmora::com::GuidFromString(narrow, guid);
}

} // namespace

extern "C" {

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    if (!lpsz || cchMax < static_cast<int>(kGuidTextLength + 1)) return 0;
    const std::string text = velmora::com::GuidToString(rguid);
    for (size_t i = 0; i < text.size(); ++i)
        lpsz[i] = static_cast<OLECHAR>(text[i]);
    lpsz[text.size()] = 0;
    return static_cast<int>(text.size() + 1);
}

HRESULT IIDFromString(LPCOLESTR lpsz, IID* lpiid) {
    if (!lpiid) return E_INVALIDARG;
    if (!lpsz) {
        *lpiid = IID_NULL;
        return S_OK;
    }
    return GuidFromWide(lpsz, lpiid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, CLSID* pclsid) {
    if (!pclsid) return E_INVALIDARG;
    if (!lpsz) {
        *pclsid = GUID_NULL;
        return S_OK;
    }
    if (lpsz[0] == u'{') return GuidFromWide(lpsz, pclsid) ? S_OK : CO_E_CLASSSTRING;
    // Anything else may be a programmatic name.
    const HRESULT hr = CLSIDFromProgID(lpsz, pclsid);
    if (hr == REGDB_E_READREGDB || SUCCEEDED(hr)) return hr;
    return CO_E_CLASSSTRING;
}

} // extern "C"
