// The texts of the provider types plugin.
#pragma once

namespace tamsel {

inline constexpr const char* kProjectName = "Tamsel";
// The plugin's title: the caption of its message boxes.
inline constexpr const char* kAppTitle = "Provider Info Component";
inline constexpr const char* kClassDescription = "ProviderTypes Class";
inline constexpr const char* kDialogCaption = "Provider Types";
inline constexpr const char* kTypeNameColumn = "Type Name";
inline constexpr const char* kSaveAsButton = "Save &As...";
inline constexpr const char* kCloseButton = "Close";
inline constexpr const char* kSaveAsTitle = "Save As";
inline constexpr const char* kReportFilter = "Provider Types Info Files (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const char* kErrorsOccurred = "Errors occurred.";

} // namespace tamsel
