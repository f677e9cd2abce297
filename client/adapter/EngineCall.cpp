#include "client/adapter/EngineCall.h"

namespace tarnwick {

QString LastEngineText(HRESULT status) {
    IErrorInfo* raw = nullptr;
    if (GetErrorInfo(0, &raw) == S_OK && raw) {
        auto info = ComPtr<IErrorInfo>::Adopt(raw);
        Bstr description;
        if (SUCCEEDED(info->GetDescription(description.Put())) && description.Length())
            return FromBstr(description.Get());
    }
    return QString::asprintf("The engine failed with status 0x%08X.",
                             static_cast<unsigned>(status));
}

HRESULT Check(HRESULT status) {
    if (FAILED(status)) throw EngineFailure{status, LastEngineText(status)};
    return status;
}

void CreateEngineObject(REFCLSID cls, REFIID iid, void** object) {
    *object = nullptr;
    const HRESULT status = CoCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    if (FAILED(status) || !*object)
        throw EngineFailure{FAILED(status) ? status : E_FAIL, QString::fromUtf8(kCannotCreateObject)};
}

} // namespace tarnwick
