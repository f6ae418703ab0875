#include "query/QueryKeyRouting.h"

#include <gtest/gtest.h>

namespace {

CQueryKeyRoute Route(int code, bool ctrl, bool shift, bool executing = false, bool search = false, int grids = 0,
                     bool inList = false)
{
    CQueryKey key;
    key.keyCode = code;
    key.ctrl = ctrl;
    key.shift = shift;
    key.executing = executing;
    key.findInFiles = search;
    key.gridCount = grids;
    key.inDatabaseList = inList;
    return RouteQueryWindowKey(key);
}

TEST(KeyRouting, WindowShortcuts)
{
    const struct {
        int code;
        bool ctrl, shift, executing, search;
        int grids;
        int command; // 0: the key goes on
        bool mainFrame;
    } cases[] = {
        {'F', true, true, false, false, 0, ID_FIND_IN_FILES, false},
        {'F', true, true, true, false, 0, 0, false},  // not while a run is under way
        {'F', true, true, false, true, 0, 0, false},  // nor during a search
        {WXK_ESCAPE, false, false, true, false, 0, ID_STOP_FIND_IN_FILES, false},
        {WXK_ESCAPE, false, false, false, true, 0, ID_STOP_FIND_IN_FILES, false},
        {WXK_ESCAPE, false, false, false, false, 0, 0, false},
        {WXK_F6, false, false, false, false, 0, ID_NEXT_PANE, false},
        {WXK_F6, false, true, false, false, 0, ID_PREVIOUS_PANE, false},
        {WXK_F6, true, false, false, false, 0, ID_NEXT_WINDOW, true},
        {WXK_F6, true, true, false, false, 0, ID_PREVIOUS_WINDOW, true},
        {WXK_TAB, true, false, false, false, 0, ID_NEXT_WINDOW, true},
        {WXK_TAB, true, true, false, false, 0, ID_PREVIOUS_WINDOW, true},
        {WXK_TAB, false, false, false, false, 0, 0, false},
        {'R', true, false, false, false, 0, ID_RESULTS_IN_TEXT, false},
        {'R', true, false, true, false, 0, 0, false},
        {'1', true, false, false, false, 0, ID_PREVIOUS_GRID, false},
        {'2', true, false, false, false, 0, ID_NEXT_GRID, false},
        {'3', true, false, false, false, 0, ID_FIRST_GRID, false},
        {'4', true, false, false, false, 0, ID_LAST_GRID, false},
        {'1', true, true, false, false, 0, 0, false},
        {'D', true, false, false, false, 1, 0, false},
        {'D', true, false, false, false, 2, ID_GO_TO_GRID, false},
        {'P', true, true, false, false, 0, ID_FILE_PRINT_DIRECT, false},
        {'P', true, false, false, false, 0, 0, false}, // Ctrl+P is the Print menu item's
        {'A', false, false, false, false, 0, 0, false},
        {WXK_F4, true, false, false, false, 0, ID_FILE_DISCONNECT, true}, // closes the window
        {WXK_F4, true, false, true, false, 0, ID_FILE_DISCONNECT, true},  // also while a run is under way
        {WXK_F4, true, true, false, false, 0, 0, false},
    };
    for (const auto& c : cases) {
        const CQueryKeyRoute route = Route(c.code, c.ctrl, c.shift, c.executing, c.search, c.grids);
        SCOPED_TRACE(testing::Message() << "key " << c.code << " ctrl " << c.ctrl << " shift " << c.shift);
        if (c.command == 0) {
            EXPECT_EQ(route.action, QueryKeyAction::None);
            EXPECT_FALSE(route.eaten);
        } else {
            EXPECT_EQ(route.action, QueryKeyAction::Command);
            EXPECT_EQ(route.commandId, c.command);
            EXPECT_EQ(route.mainFrameCommand, c.mainFrame);
            EXPECT_TRUE(route.eaten);
        }
    }
}

TEST(KeyRouting, ErrorKeysLeaveF8ToRefreshWhileItIsOn)
{
    const struct {
        int code;
        bool ctrl, shift, alt, refresh;
        int command; // 0: the key goes on
    } cases[] = {
        {WXK_F4, false, false, false, false, ID_NEXT_ERROR_BATCH},
        {WXK_F4, false, true, false, false, ID_PREVIOUS_ERROR_BATCH},
        {WXK_F4, false, false, false, true, ID_NEXT_ERROR_BATCH},
        {WXK_F8, false, false, false, false, ID_NEXT_ERROR_BATCH},
        {WXK_F8, false, true, false, false, ID_PREVIOUS_ERROR_BATCH},
        {WXK_F8, false, false, false, true, 0}, // Refresh's
        {WXK_F8, false, true, false, true, ID_PREVIOUS_ERROR_BATCH},
        {WXK_F4, false, false, true, false, 0}, // Alt+F4 closes windows
    };
    for (const auto& c : cases) {
        CQueryKey key;
        key.keyCode = c.code;
        key.ctrl = c.ctrl;
        key.shift = c.shift;
        key.alt = c.alt;
        key.refreshEnabled = c.refresh;
        const CQueryKeyRoute route = RouteQueryWindowKey(key);
        SCOPED_TRACE(testing::Message() << "key " << c.code << " ctrl " << c.ctrl << " shift " << c.shift << " alt "
                                        << c.alt << " refresh " << c.refresh);
        EXPECT_EQ(route.action, c.command ? QueryKeyAction::Command : QueryKeyAction::None);
        EXPECT_EQ(route.commandId, c.command);
    }
}

TEST(KeyRouting, DatabaseListKeys)
{
    CQueryKeyRoute r = Route('M', false, false, false, false, 0, true);
    EXPECT_EQ(r.action, QueryKeyAction::SelectDatabase);
    EXPECT_EQ(r.character, 'M');
    r = Route(',', false, true, false, false, 0, true);
    EXPECT_EQ(r.action, QueryKeyAction::SelectDatabase);
    EXPECT_EQ(r.character, '<');

    // With Ctrl even a character key hands the focus back; the window's shortcuts are not
    // taken from inside the list.
    r = Route('R', true, false, false, false, 0, true);
    EXPECT_EQ(r.action, QueryKeyAction::ReturnFocus);
    EXPECT_FALSE(r.eaten);

    r = Route(WXK_F5, false, false, false, false, 0, true);
    EXPECT_EQ(r.action, QueryKeyAction::ReturnFocus);
    EXPECT_TRUE(r.activateForF5);
    EXPECT_FALSE(r.eaten); // F5 still reaches its accelerator

    for (int code : {int(WXK_TAB), int(WXK_ESCAPE), int(WXK_PAUSE)}) {
        r = Route(code, false, false, false, false, 0, true);
        EXPECT_EQ(r.action, QueryKeyAction::ReturnFocusAndSwitch) << code;
        EXPECT_TRUE(r.eaten) << code;
    }
    // Ctrl+F4 closes the window from the list too.
    r = Route(WXK_F4, true, false, false, false, 0, true);
    EXPECT_EQ(r.action, QueryKeyAction::Command);
    EXPECT_EQ(r.commandId, ID_FILE_DISCONNECT);

    // Moving within the list stays with the list.
    EXPECT_EQ(Route(WXK_DOWN, false, false, false, false, 0, true).action, QueryKeyAction::None);
}

} // namespace
