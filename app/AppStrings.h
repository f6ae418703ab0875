// The numbered texts of the program's string table and the fixed texts of start-up.
#pragma once

#include "platform/PrintDestinations.h"

namespace strings {

// 100
inline constexpr const char* kOleInitFailed =
    "OLE initialization failed.  Make sure that the OLE libraries are the correct version.";
// 61220
inline constexpr const char* kNoPrinter = CPrintDestinations::kNoPrinter;
// 61223
inline constexpr const char* kAdoMissing =
    "The Microsoft Data Access Components (MDAC) 2.5 or higher were not found. These components are the "
    "core of Microsoft's Universal Data Access (UDA) strategy and can be downloaded from "
    "https://packages.debian.org/bookworm/unixodbc"
    ".\n\nYou will be unable to use this application until these components have been installed.";
// 61226
inline constexpr const char* kFileNotFound = "'%s'.\nCannot open file. File not found.";

inline constexpr const char* kSystemRequirements = "System requirements:\n\n"
                                                   "  Linux 3.2 or later\n"
                                                   "  GTK 3.0 or later";
inline constexpr const char* kGridNotRegistered = "<MSHFLXGD.OCX> not registered. Please re-run "
                                                  "setup and then try again.";
inline constexpr const char* kErrorsOccurred = "Errors occurred.";
inline constexpr const char* kUnregistered =
    "The program's file associations and settings have been removed.";

inline constexpr const char* kPageFileFull =
    "Page file usage exceeds 99%. It is recommended that you save your\r\n"
    "work (if, any), free some memory and/or retstart the application.";
inline constexpr const char* kConnectionLimit = "Connection limit reached. You must close some connections "
                                                "before attempting to open any more connections.";
inline constexpr const char* kCancelAllQuestion = "Are you sure you wish to cancel all running queries "
                                                  "and/or Find in Files operations?";
inline constexpr const char* kWaitingForCancelledQueries = "Waiting for the cancelled queries to end...";
inline constexpr const char* kEstablishingConnection = "Establishing new connection...";
inline constexpr const char* kConnectionCount = "Total number of connections: %d";
inline constexpr const char* kNewQueryTitle = "%s_%d - (New Query)";
inline constexpr const char* kMsdasqlPrompt = "Establish a new connection using the Microsoft OLE DB "
                                              "Provider for ODBC Drivers (MSDASQL.DLL) and the specified driver";

} // namespace strings
