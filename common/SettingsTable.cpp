#include "SettingsTable.h"

namespace settings {

wxString FindHistoryKey(int number)
{
    return wxString::Format("%s_%d", "Find", number);
}

std::vector<const IntKey*> AllIntKeys()
{
    return {&LoginTimeOut,      &CacheSize,          &DoNotExecContinuously, &UseQI,
            &DisplayDbmsVer,    &AutoCommit,         &MsAccuracy,            &Beep,
            &DefaultEditor,     &Startup,            &ResultsInTextWarning,  &QueryTabSize,
            &QuerySaveTabsAsSpaces, &MaxUndoLimit,   &QueryWrapWord,         &ReplaceAllOccsMsg,
            &ResultTabSize,     &ResultSaveTabsAsSpaces, &ResultWrapWord,    &SortColumn,
            &SelectColumn,      &CopyColNames,       &GridViewContents,      &ExportToExcel,
            &PublishXmlAsHtmlTable, &ExportFilterIndex, &ExportColumnNames,  &FindMatchWholeWord,
            &FindMatchCase,     &FindLookInSubFolders, &FindFileNamesOnly,   &SchemaHide,
            &SchemaExpandAll,   &TablePermAllUsers,  &ColPermAllUsers,       &ShowAllRoot,
            &ShowAllTables,     &ShowAllViews,       &ShowAllProcs,          &MaxFiles,
            &MaxDlkFiles,       &MaxDsnLessLogins,   &PreviewPages};
}

std::vector<const StringKey*> AllStringKeys()
{
    return {&BatchSeparator,  &StartupDsnLessString, &FromUdlFile,        &ExportFormat,
            &ExportDelimiterList, &ExportInitialDir, &InvalidFileExts,    &InitialFindWhat,
            &InitialFilesOfType,  &InitialFindFolder, &WindowPos};
}

int ReadInt(const IntKey& key, CSettingsStore& store)
{
    int value = store.GetProfileInt(key.section, key.key, key.defaultValue);
    if (key.repair == Repair::None || (value >= key.min && value <= key.max))
        return value;
    switch (key.repair) {
    case Repair::UseFallback:
        return key.fallback;
    case Repair::WriteBack:
        store.WriteProfileInt(key.section, key.key, key.fallback);
        return key.fallback;
    case Repair::Clamp:
        return value > key.max ? key.max : key.fallback;
    case Repair::None:
        break;
    }
    return value;
}

bool WriteInt(const IntKey& key, int value, CSettingsStore& store)
{
    return store.WriteProfileInt(key.section, key.key, value);
}

wxString ReadString(const StringKey& key, CSettingsStore& store)
{
    return store.GetProfileString(key.section, key.key, key.defaultValue);
}

bool WriteString(const StringKey& key, const wxString& value, CSettingsStore& store)
{
    return store.WriteProfileString(key.section, key.key, value);
}

wxString InterpretBatchSeparator(const wxString& stored)
{
    if (stored.CmpNoCase("<NULL>") == 0)
        return wxString();
    if (stored.empty() || stored.find_first_of(" \t\r\n") != wxString::npos)
        return "GO";
    return stored;
}

wxString ReadInvalidFileExts(CSettingsStore& store)
{
    wxString value = ReadString(InvalidFileExts, store);
    if (value.empty()) {
        value = wxString(kInvalidFileExtsDefault).Upper();
        WriteString(InvalidFileExts, value, store);
    }
    return value;
}

bool ReadSchemaHiddenAtOpen(CSettingsStore& store)
{
    return store.GetProfileInt(SchemaHide.section, SchemaHide.key, kSchemaHideAtOpenDefault) == 1;
}

} // namespace settings
