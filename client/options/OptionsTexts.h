#pragma once
// Captions and messages of the Options dialog and its two pages, and the Format menu.

namespace tarnwick::options_texts {

inline constexpr const char* kDialogTitle = "Options";

// "General" page.
inline constexpr const char* kGeneralTitle = "General";
inline constexpr const char* kDefaultDatabase = "Default &Database ";
inline constexpr const char* kDatabasePath = "Enter Access database file name below";
inline constexpr const char* kBrowse = "&Browse...";
inline constexpr const char* kDefaultLogin = "Use Default &Login Name";
inline constexpr const char* kLoginName = "Login Name:";
inline constexpr const char* kPassword = "Password:";
inline constexpr const char* kSavePassword = "&Save Password";
inline constexpr const char* kDefaultRoleOrProduct = "Default Role or P&roduct";
inline constexpr const char* kRoleMode = "&Role";
inline constexpr const char* kProductMode = "&Product";
inline constexpr const char* kTest = "&Test";
// The lists have no caption on screen; these name them for screen readers.
inline constexpr const char* kRoleList = "Role";
inline constexpr const char* kProductList = "Product";
inline constexpr const char* kVersionList = "Version";
inline constexpr int kPasswordMaxLength = 64;

inline constexpr const char* kTestSucceeded = "Test succeeded!";
inline constexpr const char* kTestFailed = "Test Failed!";

// The file dialog of "&Browse...": our databases are SQLite files of any name, so every file
// may be chosen as well.
inline constexpr const char* kDatabaseFilter = "Microsoft Access Database (*.mdb)";
inline constexpr const char* kAllFilesFilter = "All Files (*)";

// "Other" page.
inline constexpr const char* kOtherTitle = "Other";
inline constexpr const char* kDateFormatGroup = "Date Format";
inline constexpr const char* kDateFormat = "Set the Format of Date";
inline constexpr const char* kFormat = "&Format";

// The Format menu in its order: the user code and a date written with it.
struct FormatMenuItem {
    const char* code;
    const char* sample;
};
inline constexpr FormatMenuItem kFormatMenu[] = {
    {"dd,m,yyyy", "21,Jan,2004"},
    {"dd,M,yyyy", "21,1,2004"},
    {"dd,mm,yyyy", "21,January,2004"},
    {"dd,m,yyyy", "21,Jan,2004"},
    {"m,dd,yyyy", "Jan,21,2004"},
    {"m,dd", "Jan,21"},
    {"M,dd", "1,21"},
    {"ww - dd,M,yyyy", "Monday - 21,1,2004"},
    {"w - dd,M,yyyy", "Mon - 21,1,2004"},
};
// Between the code and the sample of a menu item.
inline constexpr const char* kFormatMenuGap = "  \t";

} // namespace tarnwick::options_texts
