// The texts of the ODBC driver information plugin.
#pragma once

namespace ferrow {

inline constexpr const char* kProjectName = "Ferrow";
// The plugin's title: the caption of its message boxes.
inline constexpr const char* kAppTitle = "ODBC Driver Info Component";
inline constexpr const char* kClassDescription = "ODBCDriverInfo Class";
inline constexpr const char* kSheetCaption = "ODBC Driver Information";
inline constexpr const char* kSaveAsButton = "Save &As...";
inline constexpr const char* kCloseButton = "Close";
inline constexpr const char* kSaveAsTitle = "Save As";
inline constexpr const char* kReportFilter = "Driver Info Files (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const char* kCursorLibraryLoaded = "Cursor library is loaded";
inline constexpr const char* kCursorLibraryNotLoaded = "Cursor library is not loaded";
inline constexpr const char* kErrorsOccurred = "Errors occurred.";
inline constexpr const char* kReportNotWritten = "The report was not written.";

} // namespace ferrow
