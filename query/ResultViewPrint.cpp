// Printing of the results pane: the shown grid as a picture in pages, or the text (the whole
// text under a header and above a footer, or only its selection), and the grid's print preview
// in the query window.
#include "ResultView.h"

#include "BatchExecution.h"
#include "common/CommandIds.h"
#include "editor/PrintRangeDlg.h"
#include "editor/TorvaneDoc.h"
#include "GridPrintout.h"
#include "MSHFlexGrid.h"
#include "platform/MessageBox.h"
#include "platform/PrintDestinations.h"
#include "platform/PrintSetup.h"
#include "querycore/PageFileUsage.h"
#include "QueryHost.h"
#include "ResultsHost.h"
#include "ResultTextPrintout.h"

#include <wx/print.h>
#include <wx/utils.h>

namespace {

const char* const kPleaseWait = "Please wait...";
const char* const kPrintingAborted = "Errors occurred. Printing is aborted.";
const char* const kResultsGridTag = "Results grid #";

// What every print command asks first: memory to spare, and for printing (a preview needs
// none) something to print to.
bool CanStartPrinting(wxWindow* parent, bool toPrinter)
{
    if (GetPageFileUsagePercent() >= 99) {
        TVMessageBox(kPageFileUsageMessage, wxOK | wxICON_STOP, parent);
        return false;
    }
    return !toPrinter || CPrintDestinations::CheckAvailable(parent);
}

} // namespace

bool CResultView::IsGridPrintMode() const
{
    return IsGridVisible() && m_pFrame->GetExecution().View().m_strResultsPaneText.Contains(kResultsGridTag);
}

bool CResultView::CanPrint() const
{
    if (IsGridVisible())
        return m_pCurrentGrid->GetStore()->m_bComplete.load();
    return GetLength() > 0;
}

bool CResultView::CanPrintPreview() const
{
    return IsGridVisible() && m_pCurrentGrid->GetStore()->m_bComplete.load();
}

bool CResultView::IsPrintSelection()
{
    wxString selected = GetSelectedText();
    return !selected.Trim(true).Trim(false).empty();
}

std::unique_ptr<wxPrintout> CResultView::CreatePrintout(bool selection)
{
    CTorvaneDoc* doc = m_pFrame->GetQueryDoc();
    if (IsGridPrintMode()) {
        IQueryHost* host = GetHost();
        const LogFont stored = host ? host->SharedSettings().m_lfGrid : LogFont();
        const wxString header =
            CGridPrintout::MakeHeader(doc ? doc->GetTitle() : wxString(), m_pFrame->GetExecution().View().m_strSqlText);
        return std::make_unique<CGridPrintout>(*m_pCurrentGrid, header, CPicturePrintout::TitleFont(stored),
                                               CPicturePrintout::FooterFont(stored));
    }
    const wxString path = doc ? doc->GetFilename() : wxString();
    const bool hasPath = !path.empty();
    const wxString header = hasPath ? path : (doc ? doc->GetTitle() : wxString());
    IQueryHost* host = GetHost();
    const wxFont font = host && host->SharedSettings().m_fontResult.IsOk() ? host->SharedSettings().m_fontResult
                                                                           : StyleGetFont(wxSTC_STYLE_DEFAULT);
    return std::make_unique<CResultTextPrintout>(selection ? GetSelectedText() : GetText(), m_nTabSize, header,
                                                 hasPath, font, selection);
}

void CResultView::Print(bool direct)
{
    wxBusyCursor wait;
    m_pFrame->SetFindStatusText(kPleaseWait);
    m_pFrame->ClosePrintPreview();
    const bool grid = IsGridPrintMode();
    // Without a queue there is nothing to print to directly: the dialog offers its file printer.
    direct = direct && CPrintDestinations::HasQueue();
    bool selection = false;
    // The text's selection is offered, and chosen unless the user prefers the whole text;
    // printing without the dialogs takes the selection when there is one.
    if (!grid && IsPrintSelection()) {
        selection = true;
        if (!direct) {
            CPrintRangeDlg range(&m_pFrame->GetRunWindow());
            if (range.ShowModal() != wxID_OK) {
                m_pFrame->SetFindStatusText(wxString());
                return;
            }
            selection = range.IsSelection();
        }
    }
    std::unique_ptr<wxPrintout> printout = CreatePrintout(selection);
    wxPrintDialogData data(CPrintSetup::Current());
    wxPrinter printer(&data);
    if (printer.Print(&m_pFrame->GetRunWindow(), printout.get(), !direct))
        CPrintSetup::Current() = printer.GetPrintDialogData().GetPrintData();
    else if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
        TVMessageBox(kPrintingAborted, wxOK | wxICON_STOP, &m_pFrame->GetRunWindow());
    if (grid && IsGridVisible())
        ShowGrid();
    else
        SetFocus();
    m_pFrame->SetFindStatusText(wxString());
}

bool CResultView::PrintPreview()
{
    if (!IsGridPrintMode())
        return false;
    wxBusyCursor wait;
    m_pFrame->SetFindStatusText(kPleaseWait);
    wxPrintDialogData data(CPrintSetup::Current());
    auto preview = std::make_unique<wxPrintPreview>(CreatePrintout(false).release(), CreatePrintout(false).release(),
                                                    &data);
    m_pFrame->SetFindStatusText(wxString());
    if (!preview->IsOk()) {
        TVMessageBox(kPrintingAborted, wxOK | wxICON_STOP, &m_pFrame->GetRunWindow());
        return false;
    }
    m_bPrintPreview = 1;
    m_pFrame->ShowPrintPreview(std::move(preview), [this] {
        m_bPrintPreview = 0;
        if (IsGridVisible())
            ShowGrid();
        else
            SetFocus();
    });
    return true;
}

void CResultView::OnFilePrint(wxCommandEvent& event)
{
    // The enabling can be stale when a key asks: a grid a worker fills does not print.
    if (!CanPrint() || !CanStartPrinting(&m_pFrame->GetRunWindow(), true))
        return;
    Print(event.GetId() == ID_FILE_PRINT_DIRECT);
}

void CResultView::OnFilePrintPreview(wxCommandEvent&)
{
    if (m_pFrame->IsPrintPreviewActive()) {
        m_pFrame->ClosePrintPreview();
        return;
    }
    if (!CanPrintPreview() || !CanStartPrinting(&m_pFrame->GetRunWindow(), false))
        return;
    PrintPreview();
}

void CResultView::OnUpdatePrint(wxUpdateUIEvent& event)
{
    if (event.GetId() == ID_FILE_PRINT_PREVIEW) {
        const bool previewing = m_pFrame->IsPrintPreviewActive();
        event.Enable(previewing || CanPrintPreview());
        event.Check(previewing);
        return;
    }
    event.Enable(CanPrint());
}
