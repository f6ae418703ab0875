#include "QueryKeyRouting.h"

namespace {

bool IsFunctionKey(int code)
{
    return code >= WXK_F1 && code <= WXK_F12;
}

bool IsBreakKey(int code)
{
    return code == WXK_PAUSE || code == WXK_CANCEL;
}

// A key that types a character: printable ASCII and beyond, not a control code.
bool IsCharacterKey(int code)
{
    return (code >= 32 && code < 127) || (code >= 160 && code < WXK_START);
}

CQueryKeyRoute Command(int id, bool mainFrame = false)
{
    CQueryKeyRoute route;
    route.action = QueryKeyAction::Command;
    route.commandId = id;
    route.mainFrameCommand = mainFrame;
    route.eaten = true;
    return route;
}

} // namespace

CQueryKeyRoute RouteQueryWindowKey(const CQueryKey& key)
{
    const int code = key.keyCode;
    CQueryKeyRoute route;

    // Ctrl+F4 closes the window, as in every multiple-document program, from any pane.
    if (key.ctrl && !key.shift && !key.alt && code == WXK_F4)
        return Command(ID_FILE_DISCONNECT, true);

    if (key.inDatabaseList) {
        if (!key.ctrl && IsCharacterKey(code) && code != WXK_TAB && code != WXK_ESCAPE) {
            route.action = QueryKeyAction::SelectDatabase;
            route.character = key.shift && code == ',' ? wxChar('<') : static_cast<wxChar>(code);
            route.eaten = true; // eaten only when an item is found; the caller decides
            return route;
        }
        if (key.ctrl || IsFunctionKey(code) || code == WXK_TAB || code == WXK_ESCAPE || IsBreakKey(code)) {
            const bool switchKey = code == WXK_TAB || code == WXK_ESCAPE || IsBreakKey(code);
            route.action = switchKey ? QueryKeyAction::ReturnFocusAndSwitch : QueryKeyAction::ReturnFocus;
            route.activateForF5 = code == WXK_F5;
            route.eaten = switchKey;
            return route;
        }
        // Arrows, paging and Enter move within the list itself.
        return route;
    }

    if (key.ctrl && key.shift && code == 'F' && !key.executing && !key.findInFiles)
        return Command(ID_FIND_IN_FILES);
    if (code == WXK_ESCAPE && (key.executing || key.findInFiles))
        return Command(ID_STOP_FIND_IN_FILES);
    if (code == WXK_F6 && !key.ctrl)
        return Command(key.shift ? ID_PREVIOUS_PANE : ID_NEXT_PANE);
    if (key.ctrl && (code == WXK_F6 || code == WXK_TAB))
        return Command(key.shift ? ID_PREVIOUS_WINDOW : ID_NEXT_WINDOW, true);
    if (key.ctrl && code == 'R' && !key.executing)
        return Command(ID_RESULTS_IN_TEXT);
    if (key.ctrl && !key.shift) {
        switch (code) {
        case '1':
            return Command(ID_PREVIOUS_GRID);
        case '2':
            return Command(ID_NEXT_GRID);
        case '3':
            return Command(ID_FIRST_GRID);
        case '4':
            return Command(ID_LAST_GRID);
        default:
            break;
        }
    }
    if (key.ctrl && code == 'D' && key.gridCount >= 2)
        return Command(ID_GO_TO_GRID);
    if (key.ctrl && key.shift && code == 'P')
        return Command(ID_FILE_PRINT_DIRECT);
    // F8 is Refresh while Refresh is enabled, else the key of the next error.
    if (!key.ctrl && !key.alt && (code == WXK_F4 || (code == WXK_F8 && (key.shift || !key.refreshEnabled))))
        return Command(key.shift ? ID_PREVIOUS_ERROR_BATCH : ID_NEXT_ERROR_BATCH);
    return route;
}
