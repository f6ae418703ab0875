#include "MenuCommands.h"

#include "BatchExecution.h"
#include "common/CommandIds.h"
#include "QueryKeyRouting.h"
#include "ResultCommands.h"
#include "schemacore/SchemaCommandIds.h"

#include <wx/menu.h>
#include <wx/tokenzr.h>

#include <algorithm>

namespace {

const std::vector<CMenuCommand> kCommands = {
    // File
    {ID_NEW_CONNECTION_WINDOW, "&New\tCtrl+N", "Open a new query window on the connection of this one"},
    {ID_FILE_DATA_LINK, "Data Lin&k Properties...\tCtrl+T",
     "Open a new query window; the data link dialog asks for its connection"},
    {ID_FILE_DATA_LINK_FILE, "From Data Link F&ile...\tCtrl+Shift+T",
     "Open a new query window on the connection of a data link file"},
    {ID_FILE_OPEN, "&Open...\tCtrl+O", "Open a query file in the active query window"},
    {ID_FILE_SAVE, "&Save\tCtrl+S", "Save the query"},
    {ID_FILE_SAVE_AS, "Save &As...",
     "Save the query under a new name; with the results pane active, save its text or its grid"},
    {ID_FILE_SAVE_ALL, "Save Al&l\tCtrl+Shift+S", "Save the queries of every query window"},
    {ID_FILE_DISCONNECT, "&Disconnect", "Close the active query window and its connection"},
    {ID_FILE_CLOSE_ALL, "Dis&connect All", "Close every query window and its connection"},
    {ID_FILE_PRINT, "&Print...\tCtrl+P",
     "Print the active pane: the query, the results text or grid, or a selected text (Ctrl+Shift+P prints without "
     "asking)"},
    {ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Show the pages of the results grid as they print; again to close them"},
    {ID_FILE_PRINT_SETUP, "Print Set&up...", "Choose the paper and its orientation"},
    {ID_APP_EXIT, "E&xit", "Close every query window and quit the program"},
    // Edit
    {ID_EDIT_UNDO, "&Undo\tCtrl+Z", "Undo the last change"},
    {ID_EDIT_REDO, "&Redo\tCtrl+Y", "Do again the change last undone"},
    {ID_EDIT_CUT, "Cu&t\tCtrl+X", "Move the selection to the clipboard"},
    {ID_EDIT_COPY, "&Copy\tCtrl+C", "Copy the selection, or the selected cells of the grid, to the clipboard"},
    {ID_EDIT_PASTE, "&Paste\tCtrl+V", "Insert the text of the clipboard"},
    {ID_EDIT_CLEAR_ALL, "Clear A&ll\tCtrl+Shift+Del", "Clear the whole text of the pane, or its results"},
    {ID_EDIT_SELECT_ALL, "&Select All\tCtrl+A", "Select the whole text, or every cell of the grid"},
    {ID_EDIT_FIND, "&Find...\tCtrl+F", "Find a text"},
    {ID_EDIT_REPLACE, "R&eplace...\tCtrl+H", "Find a text and replace it"},
    {ID_FIND_IN_FILES, "Find i&n Files...\tCtrl+Shift+F", "Search the files of folders for a text"},
    {ID_GO_TO_LINE, "&Go to Line...\tCtrl+G", "Go to a line of the editor or of the results, or to a row of the grid"},
    {ID_EDIT_MATCH_BRACE, "Match &Brace\tCtrl+]", "Move to the brace that matches the one at the caret"},
    {ID_EDIT_UPPERCASE, "Make Selection &Uppercase\tCtrl+Shift+U", "Turn the selected text into upper case"},
    {ID_EDIT_LOWERCASE, "Make Selection &Lowercase\tCtrl+U", "Turn the selected text into lower case"},
    {ID_EDIT_TABIFY, "&Tabify Selection\tCtrl+B", "Replace the runs of blanks in the selection by tabs"},
    {ID_EDIT_UNTABIFY, "U&ntabify Selection\tCtrl+Shift+B", "Replace the tabs in the selection by blanks"},
    {ID_EDIT_INCREASE_INDENT, "&Increase Indent\tTab", "Indent the selected lines (Tab)"},
    {ID_EDIT_DECREASE_INDENT, "&Decrease Indent\tShift+Tab", "Outdent the selected lines (Shift+Tab)"},
    {ID_EDIT_COMMENT_DASHES, "Use '&--' Style\tCtrl+K", "Comment out the selected lines with \"--\""},
    {ID_EDIT_COMMENT_SLASH_STAR, "Use '&/**/' Style\tCtrl+*", "Enclose the selection in \"/*\" and \"*/\""},
    {ID_EDIT_UNCOMMENT, "Uncomment &Selection\tCtrl+Shift+K", "Remove the comment marks of the selection"},
    // Query
    {ID_QUERY_EXECUTE, "&Execute\tF5/Ctrl+E/Alt+X", "Run the selected text, or the whole query"},
    {ID_QUERY_EXECUTE_SAVE_AS, "Execute and Sa&ve As...\tCtrl+F5", "Run the query and save its results in a file"},
    {ID_QUERY_CANCEL, "C&ancel Executing Query\tAlt+Break", "Stop the query that runs"},
    {ID_RESULTS_IN_TEXT, "Res&ults in Text\tCtrl+R", "Show the results of the next runs as text", wxITEM_CHECK},
    {ID_NEXT_ERROR_BATCH, "&Next Error Batch/Tag\tF4/F8",
     "Show the next error of the last run and the batch that failed (F8 while Refresh is off)"},
    {ID_PREVIOUS_ERROR_BATCH, "Previ&ous Error Batch/Tag\tShift+F4/F8",
     "Show the previous error of the last run and the batch that failed (Shift+F8 too)"},
    // Results Grid
    {ID_PREVIOUS_GRID, "&Previous\tCtrl+1", "Show the previous results grid"},
    {ID_NEXT_GRID, "&Next\tCtrl+2", "Show the next results grid"},
    {ID_FIRST_GRID, "&First\tCtrl+3", "Show the first results grid"},
    {ID_LAST_GRID, "&Last\tCtrl+4", "Show the last results grid"},
    {ID_GO_TO_GRID, "&Go to...\tCtrl+D", "Show the results grid of a number"},
    // View
    {ID_VIEW_SCHEMA, "Sch&ema\tAlt+0", "Show or hide the schema pane", wxITEM_CHECK, "Ctrl+M"},
    {ID_VIEW_OUTPUT, "&Output\tAlt+2", "Show or hide the results pane", wxITEM_CHECK},
    {ID_MESSAGES_MODE, "&Messages\tAlt+1", "Switch the results pane between the messages and the grid", wxITEM_CHECK,
     "Ctrl+L"},
    {ID_NEXT_PANE, "&Next pane\tF6", "Move to the next pane"},
    {ID_PREVIOUS_PANE, "&Previous Pane\tShift+F6", "Move to the previous pane"},
    {ID_VIEW_WORD_WRAP, "&Word Wrap\tF7", "Wrap long lines to the width of the pane", wxITEM_CHECK},
    {ID_FORMAT_FONT, "&Font...", "Choose the font of the pane"},
    {ID_REFRESH, "Refres&h\tF8", "Show the messages collected so far while the query runs"},
    {ID_SCHEMA_PROPERTIES, "&Properties\tAlt+Enter", "Show the properties of the object selected in the schema pane"},
    // Results grid context menu
    {ID_SAVE_SELECTION, "Sa&ve Selection...", "Save the selected cells of the grid in a delimited text file"},
    // Results text context menu
    {ID_GO_TO_ERROR_BATCH, "&Go to Error Batch/Tag",
     "Show the batch that failed with the error at the caret"},
    // Tools
    {ID_TOOLS_ODBC_ADMINISTRATOR, "&ODBC Data Source Administrator", "Manage the ODBC data sources and drivers"},
    {ID_TOOLS_SYSTEM_INFORMATION, "&System Information", "Show information about this system"},
    {ID_DUMP_KEYWORDS, "Provider &Keywords", "List the keywords of the provider of this connection in a grid"},
    {ID_DUMP_LITERALS, "Provider &Literals", "List the literals of the provider of this connection in a grid"},
    // Window
    {ID_WINDOW_CASCADE, "&Cascade", "Gather all query windows into one set of tabs"},
    {ID_WINDOW_TILE_HORZ, "Tile &Horizontally", "Show every query window at once, one above the other"},
    {ID_WINDOW_TILE_VERT, "Tile &Vertically", "Show every query window at once, side by side"},
    {ID_WINDOW_ARRANGE, "&Arrange Icons", "Put the tabs back in the order the query windows were opened"},
    {ID_WINDOW_NEXT, "&Next Window\tCtrl+F6", "Activate the next query window (also Ctrl+Tab)"},
    {ID_WINDOW_PREVIOUS, "&Previous Window\tCtrl+Shift+F6", "Activate the previous query window (also Ctrl+Shift+Tab)"},
    // Help
    {ID_HELP_README, "&Readme\tF1", "Open the help page of the program"},
    {ID_HELP_COMMENTS, "&Comments and Bug Report", "How to send comments and report a fault"},
    {ID_HELP_DATA_ACCESS, "&Universal Data Access", "The home page of the ODBC driver manager"},
};

// Keys that the pane with the focus handles itself.
bool IsPaneKey(const wxString& key)
{
    return key == "Tab" || key == "Shift+Tab";
}

} // namespace

const std::vector<CMenuCommand>& MenuCommands()
{
    return kCommands;
}

const CMenuCommand* FindMenuCommand(int id)
{
    auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const CMenuCommand& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

wxString MenuCommandLabel(const CMenuCommand& command)
{
    return wxString::FromUTF8(command.text).BeforeFirst('\t');
}

std::vector<wxString> MenuCommandKeys(const CMenuCommand& command)
{
    std::vector<wxString> keys;
    const wxString text = wxString::FromUTF8(command.text);
    if (!text.Contains('\t'))
        return keys;
    // "Shift+F4/F8" is Shift+F4 and Shift+F8: a bare key takes the modifiers of the key before it.
    wxString modifiers;
    for (const wxString& key : wxStringTokenize(text.AfterFirst('\t'), "/", wxTOKEN_STRTOK)) {
        if (key.Contains('+') && key != "+") {
            modifiers = key.BeforeLast('+') + "+";
            keys.push_back(key);
        } else {
            keys.push_back(modifiers + key);
        }
    }
    return keys;
}

bool MenuKeyAccelerator(const wxString& key, wxAcceleratorEntry& accelerator)
{
    if (key.empty() || IsPaneKey(key))
        return false;
    wxString name = key;
    if (name.EndsWith("Break"))
        name = name.Left(name.length() - 5) + "Pause";
    return accelerator.FromString(name);
}

wxMenuItem* AppendMenuCommand(wxMenu* menu, int id)
{
    const CMenuCommand* command = FindMenuCommand(id);
    wxCHECK_MSG(command, nullptr, "a menu command without an entry in the table");
    std::vector<wxAcceleratorEntry> accelerators;
    wxAcceleratorEntry accelerator;
    for (const wxString& key : MenuCommandKeys(*command))
        if (MenuKeyAccelerator(key, accelerator))
            accelerators.push_back(accelerator);
    for (const wxString& key : wxStringTokenize(wxString::FromUTF8(command->moreKeys), "/", wxTOKEN_STRTOK))
        if (MenuKeyAccelerator(key, accelerator))
            accelerators.push_back(accelerator);

    wxString label = MenuCommandLabel(*command);
    if (!accelerators.empty())
        label += "\t" + accelerators.front().ToRawString();
    wxMenuItem* item = menu->Append(id, label, wxString::FromUTF8(command->help), command->kind);
    for (size_t i = 1; i < accelerators.size(); ++i)
        item->AddExtraAccel(accelerators[i]);
    return item;
}

void AppendMenuCommands(wxMenu* menu, std::initializer_list<int> ids)
{
    for (int id : ids) {
        if (id == 0)
            menu->AppendSeparator();
        else
            AppendMenuCommand(menu, id);
    }
}

wxMenuItem* AppendSubMenu(wxMenu* menu, int id, wxMenu* submenu, const wxString& title, const wxString& help)
{
    return menu->Append(new wxMenuItem(menu, id, title, help, wxITEM_NORMAL, submenu));
}
