#include "TorvaneDocTemplate.h"

#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "MainFrame.h"
#include "query/ChildFrame.h"

#include <memory>

CTorvaneDocTemplate::CTorvaneDocTemplate(wxDocManager* manager, CMainFrame* mainFrame)
    : wxDocTemplate(manager, "Query Files", "*.sql", wxEmptyString, "sql", "CTorvaneDoc", "CQryView",
                    wxCLASSINFO(CTorvaneDoc), wxCLASSINFO(CQryView)),
      m_pMainFrame(mainFrame)
{
}

wxView* CTorvaneDocTemplate::CreateView(wxDocument* doc, long flags)
{
    std::unique_ptr<wxView> view(DoCreateView());
    if (!view || !m_pMainFrame)
        return nullptr;
    view->SetDocument(doc);
    auto* frame = new CChildFrame(doc, view.get(), m_pMainFrame, *m_pMainFrame);
    if (!view->OnCreate(doc, flags)) {
        view->SetDocChildFrame(nullptr);
        frame->SetView(nullptr);
        frame->Destroy();
        return nullptr;
    }
    return view.release();
}
