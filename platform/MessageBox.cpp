#include "MessageBox.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>
#include <wx/utils.h>

#include <cstdio>
#include <deque>
#include <future>
#include <mutex>

namespace {

struct ScriptState {
    std::mutex mutex;
    int depth = 0;
    std::deque<int> answers;
    std::vector<TVShownMessage> shown;
};

ScriptState& Script()
{
    static ScriptState state;
    return state;
}

// wxTheApp presumes a window application; the command-line batch run without a display runs a
// console one, so the application object is asked through its console base.
bool HasDisplay()
{
    const wxAppConsole* app = wxAppConsole::GetInstance();
    return app != nullptr && app->IsGUI();
}

int ShowDialog(const wxString& text, long style, wxWindow* parent, const wxString& caption)
{
    const bool retry = (style & TV_RETRY_CANCEL) != 0;
    long dlgStyle = style & ~TV_RETRY_CANCEL;
    if (retry)
        dlgStyle = (dlgStyle & ~(wxYES_NO | wxOK)) | wxOK | wxCANCEL;
    if (!(dlgStyle & (wxYES_NO | wxOK)))
        dlgStyle |= wxOK;
    wxBusyCursorSuspender normalCursor;
    wxMessageDialog dlg(parent, text, caption.empty() ? wxAppConsole::GetInstance()->GetAppDisplayName() : caption,
                        dlgStyle | wxCENTRE);
    if (retry)
        dlg.SetOKCancelLabels(_("&Retry"), _("Cancel"));
    int id = dlg.ShowModal();
    if (retry && id == wxID_OK)
        return wxID_RETRY;
    return id;
}

} // namespace

int TVMessageDefaultAnswer(long style)
{
    if (style & TV_RETRY_CANCEL)
        return (style & wxCANCEL_DEFAULT) ? wxID_CANCEL : wxID_RETRY;
    if (style & wxCANCEL_DEFAULT)
        return wxID_CANCEL;
    if (style & wxYES_NO)
        return (style & wxNO_DEFAULT) ? wxID_NO : wxID_YES;
    return wxID_OK;
}

int TVMessageBox(const wxString& text, long style, wxWindow* parent, const wxString& caption)
{
    {
        ScriptState& s = Script();
        std::lock_guard lock(s.mutex);
        if (s.depth > 0) {
            int answer = TVMessageDefaultAnswer(style);
            if (!s.answers.empty()) {
                answer = s.answers.front();
                s.answers.pop_front();
            }
            s.shown.push_back({text, style, answer});
            return answer;
        }
    }

    if (!HasDisplay()) {
        wxScopedCharBuffer utf8 = text.utf8_str();
        std::fprintf(stderr, "%s\n", utf8.data());
        std::fflush(stderr);
        if (style & TV_RETRY_CANCEL)
            return wxID_CANCEL;
        return TVMessageDefaultAnswer(style);
    }

    if (wxIsMainThread())
        return ShowDialog(text, style, parent, caption);

    // A worker asks the UI thread and waits for the answer.
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> result = answer->get_future();
    wxAppConsole::GetInstance()->CallAfter(
        [answer, text, style, caption] { answer->set_value(ShowDialog(text, style, nullptr, caption)); });
    return result.get();
}

CMessageScript::CMessageScript(std::initializer_list<int> answers)
{
    ScriptState& s = Script();
    std::lock_guard lock(s.mutex);
    ++s.depth;
    s.answers.assign(answers.begin(), answers.end());
    s.shown.clear();
}

CMessageScript::~CMessageScript()
{
    ScriptState& s = Script();
    std::lock_guard lock(s.mutex);
    --s.depth;
    s.answers.clear();
}

void CMessageScript::Queue(int answer)
{
    ScriptState& s = Script();
    std::lock_guard lock(s.mutex);
    s.answers.push_back(answer);
}

std::vector<TVShownMessage> CMessageScript::Shown() const
{
    ScriptState& s = Script();
    std::lock_guard lock(s.mutex);
    return s.shown;
}

std::vector<wxString> CMessageScript::Texts() const
{
    std::vector<wxString> texts;
    for (const TVShownMessage& m : Shown())
        texts.push_back(m.text);
    return texts;
}

void CMessageScript::Clear()
{
    ScriptState& s = Script();
    std::lock_guard lock(s.mutex);
    s.shown.clear();
}

bool CMessageScript::IsActive()
{
    ScriptState& s = Script();
    std::lock_guard lock(s.mutex);
    return s.depth > 0;
}
