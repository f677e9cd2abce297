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

const std::array<RightColumn, kRightFlagCount> kRightColumns = {{
    {RightFlag::Add, "Add"},
    {RightFlag::Delete, "Delete"},
    {RightFlag::Read, "Read"},
    {RightFlag::EditClass, "EditClass"},
    {RightFlag::EditPriority, "EditPriority"},
    {RightFlag::EditSeverity, "EditSeverity"},
    {RightFlag::EditReproductive, "EditReproductive"},
    {RightFlag::EditReportedInVersion, "EditReportedInVersion"},
    {RightFlag::EditReportedDate, "EditReportedDate"},
    {RightFlag::EditFixedDate, "EditFixedDate"},
    {RightFlag::EditFixedInVersion, "EditFixedInVersion"},
    {RightFlag::EditVerifiedDate, "EditVerifiedDate"},
    {RightFlag::EditEstimatedTime, "EditEstimatedTime"},
    {RightFlag::EditDateDue, "EditDateDue"},
    {RightFlag::EditDescription, "EditDescription"},
    {RightFlag::EditRecreateStep, "EditRecreateStep"},
    {RightFlag::EditWorkAround, "EditWorkAround"},
    {RightFlag::EditReport, "EditReport"},
    {RightFlag::EditResolution, "EditResolution"},
    {RightFlag::EditAttachment, "EditAttachment"},
    {RightFlag::ReportGen, "ReportGen"},
    {RightFlag::Print, "Print"},
    {RightFlag::Statistic, "ViewStatistic"},
    {RightFlag::Add_Edit_Del_BugClass, "Add_Edit_Del_BugClass"},
    {RightFlag::Add_Edit_Del_BugReproductive, "Add_Edit_Del_BugReproductive"},
    {RightFlag::Add_Edit_Del_BugSeverity, "Add_Edit_Del_BugSeverity"},
    {RightFlag::Add_Edit_Del_BugPriority, "Add_Edit_Del_BugPriority"},
    {RightFlag::Add_Edit_Del_BugStatus, "Add_Edit_Del_BugStatus"},
    {RightFlag::AssignProductToUser, "AssignProductToUser"},
    {RightFlag::AssignClassToUser, "AssignClassToUser"},
    {RightFlag::AddProduct, "AddProduct"},
    {RightFlag::EditProduct, "EditProduct"},
    {RightFlag::DeleteProduct, "DeleteProduct"},
}};

HRESULT CRight::get_ID(LONG* pVal) {
    return ReturnValue(id_, pVal);
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
