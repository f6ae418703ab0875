// What closing a query window does, given where its run or search stands, and whether the file
// behind its document changed since the user was last asked.
#pragma once

#include <optional>

struct CCloseState {
    bool executing = false;   // a run is under way
    bool cancelling = false;  // a cancel is in progress
    bool stopped = false;     // the stop flag is set
    bool findInFiles = false; // a Find in Files search is under way
    bool nestedLoop = false;  // a loop of this window pumps messages further up the stack
};

enum class CloseStep {
    AskCancelQuery, // "Are you sure you wish to cancel this query?"
    AskStopSearch,  // "Are you sure you wish to stop this Find in Files operation?"
    StayOpen,       // the cancelled run has not ended yet; the user closes again later
    Defer,          // close once the window's own loop has unwound
    CloseRecordset, // the cancelled run ended: close its recordset, then close
    Close,
};

// Asked again after each answer: a Yes that cancels or stops changes the state.
CloseStep DecideClose(const CCloseState& state);

// Whether the file changed outside the window since it was recorded or last asked about: the
// current status differs from both. The status asked about is remembered first, so the question
// comes once per change, also when the answer takes a while.
template <class Status>
bool FileChangedSinceAsked(const Status& recorded, const std::optional<Status>& current, Status& asked)
{
    if (!current || *current == recorded || *current == asked)
        return false;
    asked = *current;
    return true;
}
