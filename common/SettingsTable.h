// Every setting of the program: section, key, type, default, bounds and the repair its reader
// applies. Readers take their key from here, so a default or a bound lives in one place.
// Fonts, the window placement and the recent lists have their own records (ProfileFont.h,
// WindowPlacement.h, MruFileList.h).
#pragma once

#include "platform/SettingsStore.h"

#include <wx/string.h>

#include <vector>

namespace settings {

// What a reader does with a stored integer outside [min, max].
enum class Repair {
    None,        // no bounds: the value is used as stored
    UseFallback, // the fallback is used; the stored value stays
    WriteBack,   // the fallback is used and written back
    Clamp,       // above max gives max; below min gives the fallback
};

struct IntKey {
    const char* section;
    const char* key;
    int defaultValue;
    int min = 0;
    int max = 0;
    Repair repair = Repair::None;
    int fallback = 0;
};

struct StringKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};

struct BinaryKey {
    const char* section;
    const char* key;
};

// Configure
inline constexpr IntKey LoginTimeOut{"Configure", "LoginTimeOut", 0, 0, 99999, Repair::UseFallback, 0};
inline constexpr IntKey CacheSize{"Configure", "Cache Size", 100, 1, 999999, Repair::UseFallback, 100};
inline constexpr StringKey BatchSeparator{"Configure", "Batch Separator", ""};
inline constexpr IntKey DoNotExecContinuously{"Configure", "Do Not Exec Continuosly", 1};
inline constexpr IntKey UseQI{"Configure", "Use QI", 1};
inline constexpr IntKey DisplayDbmsVer{"Configure", "Display DBMS Ver", 0};
inline constexpr IntKey AutoCommit{"Configure", "Auto Commit", 1};
inline constexpr IntKey MsAccuracy{"Configure", "MsAccuracy", 1};
inline constexpr IntKey Beep{"Configure", "Beep", 0};
inline constexpr IntKey DefaultEditor{"Configure", "Default Editor", 0};
inline constexpr IntKey Startup{"Configure", "Startup", 0};
inline constexpr StringKey StartupDsnLessString{"Configure", "Startup DSN-less String", ""};

// General
inline constexpr IntKey ResultsInTextWarning{"General", "ResultsInTextWarning", 1};
inline constexpr StringKey FromUdlFile{"General", "From UDL File", ""};
inline constexpr BinaryKey SqlUrls{"General", "SQLURLs"};

// Query (the editor)
inline constexpr IntKey QueryTabSize{"Query", "Tab Size", 4, 1, 64, Repair::WriteBack, 4};
inline constexpr IntKey QuerySaveTabsAsSpaces{"Query", "Save Tabs As Spaces", 0};
// The editor writes back the limit its control grants; the reader only repairs the range.
inline constexpr IntKey MaxUndoLimit{"Query", "Max Undo Limit", 1000, 1, 9999, Repair::UseFallback, 1000};
inline constexpr IntKey QueryWrapWord{"Query", "WrapWord", 0};
inline constexpr IntKey ReplaceAllOccsMsg{"Query", "ReplaceAllOccsMsg", 1};

// Result (the results view)
inline constexpr IntKey ResultTabSize{"Result", "Tab Size", 4, 1, 64, Repair::WriteBack, 4};
inline constexpr IntKey ResultSaveTabsAsSpaces{"Result", "Save Tabs As Spaces", 0};
inline constexpr IntKey ResultWrapWord{"Result", "WrapWord", 0};
inline constexpr IntKey SortColumn{"Result", "Sort column", 1};
// Written by the results options beside "Sort column"; nothing reads it.
inline constexpr IntKey SelectColumn{"Result", "Select column", 0};
inline constexpr IntKey CopyColNames{"Result", "CopyColNames", 1};

// Grid
inline constexpr IntKey GridViewContents{"Grid", "View contents", 0};
inline constexpr StringKey ExportFormat{"Grid\\Export Options", "Format", ""};
inline constexpr StringKey ExportDelimiterList{"Grid\\Export Options", "DelimiterList", ""};
inline constexpr IntKey ExportToExcel{"Grid\\Export Options", "ExportToExcel", 1};
inline constexpr IntKey PublishXmlAsHtmlTable{"Grid\\Export Options", "Publish XML as HTML Table", 1};
// The file type of Execute and Save As (querycore/ExportOptions.h); XML by default.
inline constexpr IntKey ExportFilterIndex{"Grid\\Export Options", "Filter Index", 3};
inline constexpr IntKey ExportColumnNames{"Grid\\Export Options", "ColumnNames", 1};
inline constexpr StringKey ExportInitialDir{"Grid\\Export Options", "InitialDir", ""};

// Find In Files
inline constexpr IntKey FindMatchWholeWord{"Find In Files", "Match Whole Word Only", 0};
inline constexpr IntKey FindMatchCase{"Find In Files", "Match Case", 0};
inline constexpr IntKey FindLookInSubFolders{"Find In Files", "Look In Sub Folders", 1};
inline constexpr IntKey FindFileNamesOnly{"Find In Files", "File Names Only", 0};
inline constexpr StringKey InvalidFileExts{"Find In Files", "Invalid File Exts", ""};
inline constexpr const char* kInvalidFileExtsDefault = "*.exe;*.dll;*.ocx;*.sys;*.com;*.dos;*.cab;*.zip";
inline constexpr StringKey InitialFindWhat{"Find In Files\\Find What", "Initial Find What", ""};
inline constexpr StringKey InitialFilesOfType{"Find In Files\\Files Of Type", "Initial Files Of Type", ""};
inline constexpr StringKey InitialFindFolder{"Find In Files\\Find In Folder", "Initial Find Folder", ""};
inline constexpr int kFindHistorySize = 16;

// Schema
// "Hide" is read with 0 by the schema options dialog and with -1 when a query window opens.
inline constexpr IntKey SchemaHide{"Schema", "Hide", 0};
inline constexpr int kSchemaHideAtOpenDefault = -1;
inline constexpr IntKey SchemaExpandAll{"Schema", "Expand All", 0};
inline constexpr IntKey TablePermAllUsers{"Schema", "Table Perm All Users", 0};
inline constexpr IntKey ColPermAllUsers{"Schema", "Col Perm All Users", 0};
inline constexpr IntKey ShowAllRoot{"Schema", "Show All_Root", 1};
inline constexpr IntKey ShowAllTables{"Schema", "Show All_Tables", 1};
inline constexpr IntKey ShowAllViews{"Schema", "Show All_Views", 1};
inline constexpr IntKey ShowAllProcs{"Schema", "Show All_Procs", 1};

// Fonts: one section per pane (ProfileFont.h holds the record).
inline constexpr const char* kQueryFont = "Query\\Font";
inline constexpr const char* kResultFont = "Result\\Font";
inline constexpr const char* kGridFont = "Grid\\Font";
inline constexpr const char* kSchemaFont = "Schema\\Font";

// Workspace: sizes of the three recent lists.
inline constexpr IntKey MaxFiles{"Workspace", "Max Files", 9, 1, 16, Repair::Clamp, 9};
inline constexpr IntKey MaxDlkFiles{"Workspace", "Max DLK Files", 9, 1, 16, Repair::Clamp, 9};
inline constexpr IntKey MaxDsnLessLogins{"Workspace", "Max DSN-less Logins", 9, 1, 16, Repair::Clamp, 9};

// Settings
inline constexpr StringKey WindowPos{"Settings", "WindowPos", ""};
inline constexpr IntKey PreviewPages{"Settings", "PreviewPages", 1};

// Recent lists: section and entry format ("%d" counts from 1).
struct RecentListKey {
    const char* section;
    const char* entryFormat;
    const IntKey* size;
};
inline constexpr RecentListKey RecentFileList{"Recent File List", "File%d", &MaxFiles};
inline constexpr RecentListKey RecentDataLinkFiles{"Recent Data Link Files", "File%d", &MaxDlkFiles};
inline constexpr RecentListKey RecentDsnLessLogins{"Recent DSN-less Logins", "DSNLessLogin%d", &MaxDsnLessLogins};

// The history key of a Find in Files combo: "Find_1" (the most recent) to "Find_16".
wxString FindHistoryKey(int number);

// Every integer and string key of the table, for code that walks them all.
std::vector<const IntKey*> AllIntKeys();
std::vector<const StringKey*> AllStringKeys();

// Reads an integer with its default and applies the key's repair rule.
int ReadInt(const IntKey& key, CSettingsStore& store = CSettingsStore::Get());
bool WriteInt(const IntKey& key, int value, CSettingsStore& store = CSettingsStore::Get());
wxString ReadString(const StringKey& key, CSettingsStore& store = CSettingsStore::Get());
bool WriteString(const StringKey& key, const wxString& value, CSettingsStore& store = CSettingsStore::Get());

// The separator that splits batches, from the stored "Batch Separator": an empty value or one
// holding a blank, TAB, CR or LF means "GO"; "<NULL>" in any case means no separator (empty).
wxString InterpretBatchSeparator(const wxString& stored);

// "Find In Files"/"Invalid File Exts": an empty or absent value becomes the default list in
// upper case, which is written back.
wxString ReadInvalidFileExts(CSettingsStore& store = CSettingsStore::Get());

// "Schema"/"Hide" as a new query window reads it (default -1; only 1 hides the pane).
bool ReadSchemaHiddenAtOpen(CSettingsStore& store = CSettingsStore::Get());

} // namespace settings
