#include "DriverInfoSheet.h"

#include "FerrowStrings.h"
#include "InfoPages.h"

#include "common/FileException.h"
#include "common/ReportPathDialog.h"
#include "platform/MessageBox.h"

#include <sqlext.h>

#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

namespace ferrow {

CMyPropertySheet::CMyPropertySheet(wxWindow* parent, InfoSource& source, bool cursorLibrary)
    : wxDialog(parent, wxID_ANY, kSheetCaption, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_source(source), m_cursorLibrary(cursorLibrary)
{
    OnInitDialog();
}

void CMyPropertySheet::OnInitDialog()
{
    wxBusyCursor wait;
    m_notebook = new wxNotebook(this, wxID_ANY);
    const auto& captions = DriverInfoPages::Captions();
    m_pageWindows = {new CDriverInfo(m_notebook, m_source, m_pages.driverInfo),
                     new CFunctions(m_notebook, m_source, m_pages.functions),
                     new CSupportedSQL(m_notebook, m_source, m_pages.supportedSql),
                     m_dataTypes = new CDataTypes(m_notebook, m_source, m_pages.dataTypes),
                     new CIdentifiers(m_notebook, m_source, m_pages.identifiers),
                     new CLimits(m_notebook, m_source, m_pages.limits),
                     new CMisc1(m_notebook, m_source, m_pages.misc1),
                     new CMisc2(m_notebook, m_source, m_pages.misc2)};
    for (size_t i = 0; i < m_pageWindows.size(); ++i)
        m_notebook->AddPage(m_pageWindows[i], captions[i], i == 0);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_cursorLabel = new wxStaticText(this, 103, m_cursorLibrary ? kCursorLibraryLoaded : kCursorLibraryNotLoaded);
    buttons->Add(m_cursorLabel, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    buttons->AddStretchSpacer();
    auto* saveAs = new wxButton(this, wxID_OK, kSaveAsButton);
    auto* close = new wxButton(this, wxID_CANCEL, kCloseButton);
    buttons->Add(saveAs, 0, wxRIGHT, 6);
    buttons->Add(close, 0);
    saveAs->SetDefault();

    // Wide enough for every tab to show its caption.
    int tabsWidth = 0;
    for (const char* caption : captions)
        tabsWidth += GetTextExtent(caption).GetWidth() + FromDIP(40);
    m_notebook->SetMinSize(wxSize(tabsWidth + FromDIP(20), -1));

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(m_notebook, 1, wxEXPAND | wxALL, 6);
    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizerAndFit(top);
    Centre();

    // Save As keeps the sheet open: the button's command is taken here and goes no further.
    Bind(wxEVT_BUTTON, &CMyPropertySheet::OnSaveAs, this, wxID_OK);
    m_notebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CMyPropertySheet::OnPageChanged, this);

    if (m_source.IsConnected()) {
        try {
            for (InfoPageModel* page : m_pages.InPageOrder())
                if (page != &m_pages.dataTypes)
                    page->FetchInfo(m_source);
        } catch (const std::exception&) {
            TVMessageBox(kErrorsOccurred, wxOK | wxICON_STOP, this, kAppTitle);
        }
    }
    for (CInfoPage* page : m_pageWindows)
        if (page != m_dataTypes)
            page->Render();
}

void CMyPropertySheet::OnPageChanged(wxBookCtrlEvent& event)
{
    event.Skip();
    if (m_notebook->GetPage(event.GetSelection()) == m_dataTypes && !m_dataTypes->IsFetched())
        // After the page is up, so that a message about it comes over the page.
        CallAfter([this] { ShowDataTypes(); });
}

void CMyPropertySheet::ShowDataTypes()
{
    if (!m_source.IsConnected())
        return;
    try {
        m_dataTypes->FetchAndRender();
    } catch (const DriverError& e) {
        TVMessageBox(wxString::FromUTF8(e.Description()), wxOK | wxICON_STOP, this, kAppTitle);
    } catch (const std::exception&) {
        TVMessageBox(kErrorsOccurred, wxOK | wxICON_STOP, this, kAppTitle);
    }
}

void CMyPropertySheet::OnSaveAs(wxCommandEvent&)
{
    wxString defaultName;
    {
        wxBusyCursor wait;
        const std::optional<std::string> driver = m_source.GetInfoString(SQL_DRIVER_NAME);
        defaultName = wxString::FromUTF8(DefaultReportName(driver.value_or("")));
    }
    const wxString path = ChooseTextReportPath(this, kSaveAsTitle, defaultName, kReportFilter);
    if (!path.empty())
        SaveReport(path);
}

void CMyPropertySheet::SaveReport(const wxString& path)
{
    wxBusyCursor wait;
    try {
        // The whole text first: a driver failure then leaves no partial file behind.
        const std::string text = FormatDriverInfoReport(m_pages, m_source, m_cursorLibrary);
        WriteDriverInfoReport(path, text);
    } catch (const CFileException& e) {
        TVMessageBox(e.m_strFileName + "\n" + GetFileExceptionText(e.m_cause), wxOK | wxICON_STOP, this, kAppTitle);
    } catch (const DriverError& e) {
        TVMessageBox(wxString::FromUTF8(e.Description()) + "\n" + kReportNotWritten, wxOK | wxICON_STOP, this,
                     kAppTitle);
    } catch (const std::exception&) {
        TVMessageBox(kErrorsOccurred, wxOK | wxICON_STOP, this, kAppTitle);
    }
}

} // namespace ferrow
