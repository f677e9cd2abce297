#include "engine/log/SysLog.h"

#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/log/Log.h"

namespace velmora::engine {

HRESULT CSysLog::get_LogFileName(BSTR* pVal) {
    return ReturnText(logFileName_, pVal);
}

HRESULT CSysLog::put_LogFileName(BSTR newVal) {
    return StoreText(newVal, logFileName_);
}

HRESULT CSysLog::Log(LONG errCode, BSTR source, BSTR Description) {
    return Guard([&] {
        const auto error =
            log::AppendEntry(logFileName_, errCode, TextOf(source), TextOf(Description));
        return error ? Fail(Info(), *error) : S_OK;
    });
}

HRESULT CSysLog::Clear() {
    return Guard([&] {
        const auto error = log::ClearLog(logFileName_);
        return error ? Fail(Info(), *error) : S_OK;
    });
}

} // namespace velmora::engine
