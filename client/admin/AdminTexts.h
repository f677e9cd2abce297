#pragma once
// Captions and messages of the administration dialogs, one namespace per dialog so that each
// dialog's texts stay together.

namespace tarnwick::admin_texts {

// The product sheet: the Add Production wizard and the Edit Production Property sheet.
namespace sheet {
inline constexpr const char* kAddCaption = "Add Production";
inline constexpr const char* kEditCaption = "Edit Production Property";
inline constexpr const char* kOk = "OK";

inline constexpr const char* kProductionTitle = "Production";
inline constexpr const char* kProductName = "Enter a Name for the Production";
inline constexpr const char* kProductDescription = "Enter Discription";
inline constexpr const char* kEmptyName = "Product name cannot be empty.";

inline constexpr const char* kVersionTitle = "Version";
inline constexpr const char* kVersionNameColumn = "Version Name";
inline constexpr const char* kVersionDateColumn = "Date";
inline constexpr const char* kVersionDescriptionColumn = "Description";
inline constexpr int kVersionNameWidth = 150;
inline constexpr int kVersionDateWidth = 80;
inline constexpr int kVersionDescriptionWidth = 100;
// The version list has no caption on screen; this names it for screen readers.
inline constexpr const char* kVersionList = "Versions";
inline constexpr const char* kDeleteVersion = "Do you really want to delete this version?";
inline constexpr const char* kDeleteVersionBugs =
    "Delete this version will permanently erase all bugs of this version!\n Do you want to "
    "continue?";

inline constexpr const char* kClassificationTitle = "Classification";
inline constexpr const char* kClassificationGroup = "Set Classification for Production";
inline constexpr const char* kDeleteClassification = "Do you really want to delete it?";
inline constexpr const char* kNoClassification = "Product must have at least one classification!";

inline constexpr const char* kRoleTitle = "Assign to Role";
inline constexpr const char* kRoleGroup = "Assign a role to the production";
inline constexpr const char* kOnlyFreeRoles = "Only show not assigned roles";
inline constexpr const char* kAllRoles = "Show all roles";
inline constexpr const char* kSelectAll = "Select &All";
inline constexpr const char* kSelectNone = "Select &None";
inline constexpr const char* kTakeRoles =
    "Corvala has detected some roles are to be assigned to another production. \nDo you wan to "
    "continue?\nClick Yes to continue, Click No to cancel.";

inline constexpr const char* kAdd = "&Add";
inline constexpr const char* kDelete = "&Delete";
inline constexpr const char* kEdit = "&Edit";
} // namespace sheet

// The "Add Version" dialog of the version page.
namespace version_dialog {
inline constexpr const char* kCaption = "Add Version";
inline constexpr const char* kGroup = "Version";
inline constexpr const char* kName = "Version Name";
inline constexpr const char* kReleaseDate = "Release Date";
inline constexpr const char* kDescription = "Description";
} // namespace version_dialog

// The "Enter Name" dialog of the classification page.
namespace name_dialog {
inline constexpr const char* kCaption = "Enter Name";
inline constexpr const char* kGroup = "Enter name below";
} // namespace name_dialog

// "Production Property": the list of products with Edit and Delete.
namespace production_property {
inline constexpr const char* kCaption = "Production Property";
inline constexpr const char* kNameColumn = "Production Name";
inline constexpr const char* kDescriptionColumn = "Description";
inline constexpr int kNameWidth = 100;
inline constexpr int kDescriptionWidth = 150;
// The product list has no caption on screen; this names it for screen readers.
inline constexpr const char* kList = "Productions";
inline constexpr const char* kEdit = "&Edit";
inline constexpr const char* kDelete = "&Delete";
inline constexpr const char* kClose = "&Close";
inline constexpr const char* kSynchronize =
    "The production's property is changed, do you want to synchronize the database so that "
    "consistance is maintained?";
inline constexpr const char* kDeleteProduction = "Do you really want to delete this production?";
inline constexpr const char* kDeleteProductionBugs =
    "Delete this production will permanently erase all versions and all bugs of this "
    "production!\n Do you want to continue?";
} // namespace production_property

// "Assign User to Classification".
namespace assign_user {
inline constexpr const char* kCaption = "Assign User to Classification";
inline constexpr const char* kUsers = "Users:";
inline constexpr const char* kProduction = "Production:";
inline constexpr const char* kAssign = "&Assign";
inline constexpr const char* kClose = "&Close";
} // namespace assign_user

} // namespace tarnwick::admin_texts
