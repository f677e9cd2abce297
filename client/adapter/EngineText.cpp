#include "client/adapter/EngineCall.h"

namespace tarnwick {

QString FromBstr(BSTR text) {
    if (!text) return QString();
    return QString::fromUtf16(text, SysStringLen(text));
}

Bstr ToBstr(const QString& text) {
    return Bstr::Adopt(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()),
                                         static_cast<UINT>(text.size())));
}

} // namespace tarnwick
