#include "engine/com/Failure.h"

#include <new>

#include <velmora/ComSupport.h>

#include "engine/com/MemberGuard.h"
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

HRESULT ReportDbError(const ClassInfo& cls, const OnFailure& on,
                      const db::DbError& error) noexcept {
    try {
        const std::string source(on.logSource);
        if (on.logged == Logged::ErrorDescription)
            log::LogError(on.logCode, source, error.Description());
        else
            log::LogComError(on.logCode, source, error);
        SetCallerError(cls, on.described == Described::ByError ? error.Description()
                                                               : std::string(on.description));
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ReportOutOfMemory(const ClassInfo& cls, const OnFailure& on) noexcept {
    if (!on.outOfMemoryLog) return E_OUTOFMEMORY;
    try {
        return Fail(cls, std::string(on.description), on.logCode, std::string(on.logSource),
                    on.outOfMemoryLog);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void LogDbError(LONG code, std::string_view source, const db::DbError& error) noexcept {
    try {
        log::LogComError(code, std::string(source), error);
    } catch (const std::bad_alloc&) {
        // Logging never changes the outcome of the step that logs.
    }
}

} // namespace velmora::engine
