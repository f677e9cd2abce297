#include "EngineCall.h"

#include <cstdio>

namespace velmora::tool {

std::string LastErrorDescription(HRESULT status) {
    IErrorInfo* raw = nullptr;
    if (GetErrorInfo(0, &raw) == S_OK && raw) {
        auto info = com::ComPtr<IErrorInfo>::Adopt(raw);
        com::Bstr description;
        if (SUCCEEDED(info->GetDescription(description.Put())) && description.Length())
            return description.Utf8();
    }
    char code[32];
    std::snprintf(code, sizeof code, "status 0x%08X", static_cast<unsigned>(status));
    return code;
}

void Require(HRESULT status, const std::string& what) {
    if (FAILED(status)) throw EngineError(what + " failed: " + LastErrorDescription(status));
}

void CreateObject(REFCLSID cls, REFIID iid, const char* className, void** object) {
    const HRESULT status = CoCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    if (FAILED(status) || !*object) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "cannot create Velmora.%s (0x%08X); run 'velmora register' first", className,
                      static_cast<unsigned>(status));
        throw EngineError(text);
    }
}

} // namespace velmora::tool
