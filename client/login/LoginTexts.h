#pragma once
// Captions and messages of the login wizard.

namespace tarnwick::login_texts {

inline constexpr const char* kLoginTitle = "Login";
inline constexpr const char* kLoginGroup = "User Login";
inline constexpr const char* kLoginName = "Login Name";
inline constexpr const char* kPassword = "Password";
inline constexpr int kLoginNameMaxLength = 255;
inline constexpr int kPasswordMaxLength = 64;

inline constexpr const char* kSelectTitle = "Select";
inline constexpr const char* kSelectGroup = "Select Current Role or Production";
inline constexpr const char* kVersionMode = "Select Current Version";
inline constexpr const char* kRoleMode = "Select Current Role";
inline constexpr const char* kKeepAsDefault = "Keep this as default";
// The lists have no caption on screen; these name them for screen readers.
inline constexpr const char* kProductList = "Product";
inline constexpr const char* kVersionList = "Version";
inline constexpr const char* kRoleList = "Role";

inline constexpr const char* kNothingChosen = "Please select current production or current role!";
inline constexpr const char* kBadVersion = "Please select current version please!";

// The login name that may finish the wizard without choosing a role or version.
inline constexpr const char* kAdministrator = "Admin";

} // namespace tarnwick::login_texts
