#include "engine/com/Failure.h"

#include <velmora/ComSupport.h>

#include "engine/log/Log.h"

namespace velmora::engine {

namespace {

// Hands the description to the runtime for the calling thread. A failure to do so leaves the
// caller without a description but does not change the outcome.
void SetCallerError(const ClassInfo& cls, const std::string& description) noexcept {
    try {
        ICreateErrorInfo* creator = nullptr;
        if (FAILED(CreateErrorInfo(&creator)) || !creator) return;
        std::u16string text = com::ToUtf16(description);
        std::u16string source = com::ToUtf16(cls.progId);
        creator->SetGUID(GUID_NULL);
        creator->SetDescription(text.data());
        creator->SetSource(source.data());
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info))) &&
            info) {
            SetErrorInfo(0, info);
            info->Release();
        }
        creator->Release();
    } catch (...) {
    }
}

} // namespace

const char* const kSeeErrorLog = "Some error has occured, please see err.log!";

HRESULT Fail(const ClassInfo& cls, const std::string& description) {
    SetCallerError(cls, description);
    return E_FAIL;
}

HRESULT Fail(const ClassInfo& cls, const std::string& description, LONG logCode,
             const std::string& logSource, const std::string& logText) {
    log::LogError(logCode, logSource, logText);
    SetCallerError(cls, description);
    return E_FAIL;
}

HRESULT FailWithError(const ClassInfo& cls, const std::string& description, LONG logCode,
                      const std::string& logSource, const db::DbError& error) {
    log::LogComError(logCode, logSource, error);
    SetCallerError(cls, description);
    return E_FAIL;
}

HRESULT FailLogOnly(LONG logCode, const std::string& logSource, const std::string& logText) {
    log::LogError(logCode, logSource, logText);
    return E_FAIL;
}

} // namespace velmora::engine
