// Counted UTF-16 strings: a 32-bit byte length, the characters, then one zero character. The
// pointer handed out points at the characters, so a BSTR reads as an ordinary terminated string.
#include <velmora/Com.h>

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kPrefixBytes = sizeof(uint32_t);
constexpr size_t kTerminatorBytes = sizeof(OLECHAR);

uint32_t* PrefixOf(BSTR text) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(text) - kPrefixBytes);
}

// Allocates room for byteLength bytes of content, copies them from source when given (else zeroes
// them) and terminates the text.
BSTR AllocateBytes(const void* source, size_t byteLength) {
    if (byteLength > std::numeric_limits<uint32_t>::max() - kPrefixBytes - kTerminatorBytes)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(kPrefixBytes + byteLength + kTerminatorBytes));
    if (!block) return nullptr;
    const auto length = static_cast<uint32_t>(byteLength);
    std::memcpy(block, &length, sizeof length);
    char* content = block + kPrefixBytes;
    if (source)
        std::memcpy(content, source, byteLength);
    else
        std::memset(content, 0, byteLength);
    std::memset(content + byteLength, 0, kTerminatorBytes);
    return reinterpret_cast<BSTR>(content);
}

} // namespace

extern "C" {

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    size_t length = 0;
    while (psz[length] != 0)
        ++length;
    if (length > std::numeric_limits<UINT>::max()) return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    return AllocateBytes(strIn, static_cast<size_t>(ui) * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(const char* psz, UINT len) {
    return AllocateBytes(psz, len);
}

void SysFreeString(BSTR bstrString) {
    if (bstrString) std::free(PrefixOf(bstrString));
}

UINT SysStringLen(BSTR pbstr) {
    return pbstr ? SysStringByteLen(pbstr) / sizeof(OLECHAR) : 0;
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    uint32_t length;
    std::memcpy(&length, PrefixOf(bstr), sizeof length);
    return length;
}

} // extern "C"
