#include "engine/mapping/Rows.h"

namespace velmora::engine {

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

} // namespace velmora::engine
