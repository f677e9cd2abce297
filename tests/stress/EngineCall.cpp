#include "EngineCall.h"

#include <cstdio>

#include <velmora/ComSupport.h>

namespace velmora::stress {

void ForgetLastError() {
    SetErrorInfo(0, nullptr);
}

Outcome OutcomeOf(HRESULT hr) {
    if (SUCCEEDED(hr)) return {true, ""};
    IErrorInfo* raw = nullptr;
    std::string description;
    if (GetErrorInfo(0, &raw) == S_OK && raw) {
        auto info = com::ComPtr<IErrorInfo>::Adopt(raw);
        com::Bstr text;
        if (SUCCEEDED(info->GetDescription(text.Put()))) description = text.Utf8();
    }
    if (description.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "HRESULT 0x%08X", static_cast<unsigned>(hr));
        description = code;
    }
    return {false, description};
}

Outcome Refused(const std::string& message) {
    return {false, message};
}

} // namespace velmora::stress
