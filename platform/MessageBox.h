// The one message routine of the program. Every question and notice goes through it, so that
// the same code runs with a display (a modal message box), without one (standard error and the
// default answer, as in the command-line batch run) and under tests (scripted answers).
#pragma once

#include <wx/defs.h>
#include <wx/string.h>

#include <initializer_list>
#include <vector>

class wxWindow;

// Buttons: wxOK, wxOK | wxCANCEL, wxYES_NO, wxYES_NO | wxCANCEL, or TV_RETRY_CANCEL.
// Default button: the first (OK, Yes, Retry) unless wxNO_DEFAULT or wxCANCEL_DEFAULT says otherwise.
// Icons: wxICON_STOP (wxICON_ERROR), wxICON_INFORMATION, wxICON_QUESTION, wxICON_EXCLAMATION.
constexpr long TV_RETRY_CANCEL = 0x10000000;

// Shows the text and returns the answer: wxID_OK, wxID_YES, wxID_NO, wxID_CANCEL or wxID_RETRY.
// Without a display the text goes to standard error and the default answer is returned, except
// that Retry/Cancel answers Cancel: nobody is there to change anything before a retry.
// Callable from any thread; the box itself is shown on the UI thread. The caption is the
// program's name unless one is given (a plugin names itself).
int TVMessageBox(const wxString& text, long style = wxOK | wxICON_INFORMATION, wxWindow* parent = nullptr,
                 const wxString& caption = wxString());

// The answer a box of this style gives when nobody answers it.
int TVMessageDefaultAnswer(long style);

struct TVShownMessage {
    wxString text;
    long style = 0;
    int answer = 0;
};

// Scripted answers for tests: while a script is active no box is shown; each message is recorded
// and answered with the next queued answer, or the default answer when the queue is empty.
class CMessageScript {
public:
    explicit CMessageScript(std::initializer_list<int> answers = {});
    ~CMessageScript();
    CMessageScript(const CMessageScript&) = delete;
    CMessageScript& operator=(const CMessageScript&) = delete;

    void Queue(int answer);
    std::vector<TVShownMessage> Shown() const;
    // The texts shown so far, in order.
    std::vector<wxString> Texts() const;
    void Clear();

    static bool IsActive();
};
