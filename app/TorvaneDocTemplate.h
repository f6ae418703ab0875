// The one document template: query documents (CTorvaneDoc) shown in a query window frame
// (CChildFrame) with the SQL editor view (CQryView). The frame is made before the view, so that
// the view finds its pane.
#pragma once

#include <wx/docview.h>

class CMainFrame;

class CTorvaneDocTemplate : public wxDocTemplate {
public:
    CTorvaneDocTemplate(wxDocManager* manager, CMainFrame* mainFrame);

    wxView* CreateView(wxDocument* doc, long flags = 0) override;

    void SetMainFrame(CMainFrame* mainFrame) { m_pMainFrame = mainFrame; }

private:
    CMainFrame* m_pMainFrame;
};
