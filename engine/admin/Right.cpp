#include "engine/admin/Right.h"

#include "engine/com/OutParams.h"

namespace velmora::engine {

namespace {

constexpr std::array<bool, kRightFlagCount> kGrantsRead = {
#define VELMORA_RIGHT_GRANTS_READ(name, grantsRead) grantsRead,
    VELMORA_RIGHT_FLAGS(VELMORA_RIGHT_GRANTS_READ)
#undef VELMORA_RIGHT_GRANTS_READ
};

} // namespace

bool GrantsRead(RightFlag flag) {
    return kGrantsRead[static_cast<size_t>(flag)];
}

HRESULT CRight::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CRight::GetFlag(RightFlag flag, LONG* pVal) const {
    return ReturnValue<LONG>(Flag(flag) ? 1 : 0, pVal);
}

HRESULT CRight::PutFlag(RightFlag flag, LONG newVal) {
    const bool value = newVal != 0;
    SetFlag(flag, value);
    if (value && GrantsRead(flag)) SetFlag(RightFlag::Read, true);
    return S_OK;
}

} // namespace velmora::engine
