#pragma once
// The captions and messages of the filter editor and its two small dialogs, in one place so the
// dialogs and their tests read the same texts.

namespace tarnwick::filtereditor {

// The filter dialog.
inline const char* const kFilterCaption = "Filter";
inline const char* const kNameCaption = "Name";
inline const char* const kNewCaption = "&New";
inline const char* const kCopyToCaption = "&Copy To";
inline const char* const kRenameCaption = "&Rename";
inline const char* const kDeleteCaption = "&Delete";
inline const char* const kConditionsCaption = "Conditions";
inline const char* const kAndOrCaption = "And/Or";
inline const char* const kFieldCaption = "Field";
inline const char* const kConditionCaption = "Condition";
inline const char* const kValueCaption = "Value";
inline const char* const kAddConditionCaption = "Add &Condition";
// The spelling is the one the users know.
inline const char* const kDeleteConditionCaption = "D&elete Conditon";
inline const char* const kApplyCaption = "&Apply";
inline const char* const kWildcardCaption = "...";
inline const char* const kAnyCharacter = "Any Character";
inline const char* const kAnyOneCharacter = "Any One Character";
inline const char* const kAnyCharacterWildcard = "%";
inline const char* const kAnyOneCharacterWildcard = "_";

// Widths of the condition list's columns: And/Or, Field, Condition, Value.
inline constexpr int kConditionColumnWidths[] = {70, 110, 85, 180};

inline const char* const kSelectAnItem = "Please select an item!";
inline const char* const kConfirmDelete = "Do you really want to delete this filter?";
inline const char* const kCopyToFailed = "Copy to failed!";

// The name dialog of New and Rename.
inline const char* const kNameDialogCaption = "Enter New Filter's Name";
inline const char* const kFilterNameCaption = "Filter Name";
inline const char* const kNameEmpty = "Filter's name can't be empty!";
// Renaming onto another filter's name would leave two filters that can't be told apart.
inline const char* const kNameTaken = "A filter of this name exists already!";

// The target dialog of Copy To.
inline const char* const kSelectFilterCaption = "Select a filter";
inline const char* const kCopyCaption = "Copy";
// The list has no caption on screen; this names it for screen readers.
inline const char* const kFilterListName = "Filters";

} // namespace tarnwick::filtereditor
