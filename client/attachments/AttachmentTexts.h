#pragma once
// The captions and texts of the bug editor's "Attachment" page, in one place.

namespace tarnwick::attachment_texts {

inline const char* const kTitle = "Attachment";
inline const char* const kFileName = "File Name";
inline const char* const kFileSize = "File Size (bytes)";
inline const char* const kDate = "Date";
inline constexpr int kFileNameWidth = 190;
inline constexpr int kFileSizeWidth = 100;
inline constexpr int kDateWidth = 80;

inline const char* const kAddFile = "Add file";
inline const char* const kOpen = "Open";
inline const char* const kSaveAs = "Save As";
inline const char* const kDelete = "Delete";
inline const char* const kOpenMenu = "Open...";
inline const char* const kSaveAsMenu = "Save As...";
inline const char* const kLargeIcons = "Large Icons";
inline const char* const kSmallIcons = "Small Icons";
inline const char* const kList = "List";
inline const char* const kDetail = "Detail";
inline const char* const kToolBar = "Attachment tools";

// Every file may be chosen, whatever its name.
inline const char* const kAllFiles = "All Files (*)";

} // namespace tarnwick::attachment_texts
