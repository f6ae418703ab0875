#include "InfoPages.h"

#include "common/ListSortHelper.h"

#include <wx/bitmap.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

namespace ferrow {

namespace {

wxString U(const std::string& text)
{
    return wxString::FromUTF8(text);
}

constexpr int kGap = 4;

wxFlexGridSizer* ValueGrid()
{
    auto* grid = new wxFlexGridSizer(2, kGap, 12);
    grid->AddGrowableCol(1);
    return grid;
}

// A label and the text beside it; the text's window id is the page's control id.
wxStaticText* AddValue(wxWindow* parent, wxFlexGridSizer* grid, const wxString& label, int id)
{
    grid->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    auto* value = new wxStaticText(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    value->SetMinSize(wxSize(parent->FromDIP(220), -1));
    grid->Add(value, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
    return value;
}

// A labelled box of check boxes that show flags; a click puts the shown value back.
std::vector<wxCheckBox*> AddFlagGroup(CInfoPage* page, wxSizer* into, const FlagGroup& group)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, page, group.title);
    // The box is as wide as its title at least, so that the title shows whole.
    box->SetMinSize(wxSize(page->GetTextExtent(group.title).GetWidth() + page->FromDIP(24), -1));
    std::vector<wxCheckBox*> boxes;
    for (const FlagSpec& flag : group.flags) {
        auto* check = new wxCheckBox(box->GetStaticBox(), wxID_ANY, flag.label);
        check->Bind(wxEVT_CHECKBOX, [page](wxCommandEvent&) { page->Render(); });
        box->Add(check, 0, wxALL, 2);
        boxes.push_back(check);
    }
    into->Add(box, 0, wxEXPAND | wxALL, kGap);
    return boxes;
}

void ShowFlags(const std::vector<wxCheckBox*>& boxes, const FlagGroup& group, uint32_t mask)
{
    for (size_t i = 0; i < boxes.size() && i < group.flags.size(); ++i)
        boxes[i]->SetValue((mask & group.flags[i].bit) != 0);
}

wxBitmap DrawMark(bool supported)
{
    wxBitmap bitmap(16, 13);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        if (supported) {
            dc.SetPen(wxPen(wxColour(0, 128, 0), 2));
            dc.DrawLine(3, 6, 6, 10);
            dc.DrawLine(6, 10, 13, 2);
        } else {
            dc.SetPen(wxPen(wxColour(192, 0, 0), 2));
            dc.DrawLine(4, 2, 12, 10);
            dc.DrawLine(12, 2, 4, 10);
        }
    }
    wxImage image = bitmap.ConvertToImage();
    image.SetMaskColour(255, 255, 255);
    return wxBitmap(image);
}

wxListCtrl* CreateMarkList(wxWindow* parent, int id, wxImageList* images)
{
    auto* list = new wxListCtrl(parent, id, wxDefaultPosition, parent->FromDIP(wxSize(200, 220)),
                                wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    list->SetImageList(images, wxIMAGE_LIST_SMALL);
    return list;
}

wxSizer* Labelled(wxWindow* parent, const wxString& label, wxWindow* control)
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxBOTTOM, 2);
    column->Add(control, 1, wxEXPAND);
    return column;
}

} // namespace

wxImageList* CreateSupportImages()
{
    auto* images = new wxImageList(16, 13, true, 2);
    images->Add(DrawMark(false));
    images->Add(DrawMark(true));
    return images;
}

CInfoPage::CInfoPage(wxWindow* parent, InfoSource& source) : wxPanel(parent), m_source(source) {}

// Driver Information

CDriverInfo::CDriverInfo(wxWindow* parent, InfoSource& source, DriverInfoModel& model)
    : CInfoPage(parent, source), m_model(model)
{
    static const int ids[DriverInfoModel::FieldCount] = {1000, 121,  1001, 1002, 1003, 1004, 1005,
                                                         1006, 1007, 1011, 1012, 1013, 1014, 1015,
                                                         1018, 1019, 1020, 1021, 1022, 1027, 1028};
    auto* grid = ValueGrid();
    for (const auto& spec : DriverInfoModel::Fields()) {
        if (spec.field == DriverInfoModel::DatabaseName) {
            grid->Add(new wxStaticText(this, wxID_ANY, spec.label), 0, wxALIGN_CENTER_VERTICAL);
            auto* edit = new wxTextCtrl(this, ids[spec.field], wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                        wxTE_READONLY);
            grid->Add(edit, 1, wxEXPAND);
            m_values.push_back(edit);
        } else {
            m_values.push_back(AddValue(this, grid, spec.label, ids[spec.field]));
        }
    }
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

void CDriverInfo::Render()
{
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (auto* edit = dynamic_cast<wxTextCtrl*>(m_values[i]))
            edit->ChangeValue(U(m_model.texts[i]));
        else
            static_cast<wxStaticText*>(m_values[i])->SetLabelText(U(m_model.texts[i]));
    }
}

// Functions

CFunctions::CFunctions(wxWindow* parent, InfoSource& source, FunctionsModel& model)
    : CInfoPage(parent, source), m_model(model), m_images(CreateSupportImages())
{
    m_apiList = CreateMarkList(this, 1001, m_images);
    m_apiList->AppendColumn(wxEmptyString, wxLIST_FORMAT_LEFT, FromDIP(180));
    m_sqlList = CreateMarkList(this, 1002, m_images);
    m_sqlList->AppendColumn("Function", wxLIST_FORMAT_LEFT, FromDIP(130));
    m_sqlList->AppendColumn("Category", wxLIST_FORMAT_LEFT, FromDIP(100));
    m_sqlList->Bind(wxEVT_LIST_COL_CLICK, &CFunctions::OnColumnClickSqlFunctions, this);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(Labelled(this, "&ODBC API Functions:", m_apiList), 1, wxEXPAND | wxALL, 10);
    top->Add(Labelled(this, "&SQL Functions:", m_sqlList), 1, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

CFunctions::~CFunctions()
{
    m_apiList->SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    m_sqlList->SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    delete m_images;
}

void CFunctions::Render()
{
    m_apiList->DeleteAllItems();
    long row = 0;
    for (const FunctionEntry& f : m_model.apiFunctions)
        m_apiList->InsertItem(row++, U(f.name), f.supported ? 1 : 0);
    m_sqlList->DeleteAllItems();
    row = 0;
    for (const FunctionEntry& f : m_model.sqlFunctions) {
        const long item = m_sqlList->InsertItem(row++, U(f.name), f.supported ? 1 : 0);
        m_sqlList->SetItem(item, 1, U(f.category));
    }
    m_sortAscending = true;
}

void CFunctions::OnColumnClickSqlFunctions(wxListEvent& event)
{
    wxBusyCursor wait;
    // The list starts in table order, so the first click sorts descending.
    m_sortAscending = !m_sortAscending;
    CListSortHelper sorter(*m_sqlList, event.GetColumn() < 0 ? 0 : event.GetColumn(), false);
    sorter.Sort(m_sortAscending);
}

// Supported SQL

CSupportedSQL::CSupportedSQL(wxWindow* parent, InfoSource& source, SupportedSqlModel& model)
    : CInfoPage(parent, source), m_model(model)
{
    auto* grid = ValueGrid();
    const std::pair<const char*, int> texts[] = {{"Column Aliases:", 1029},
                                                 {"Correlation Names:", 1030},
                                                 {"Expressions in ORDER BY:", 1005},
                                                 {"GROUP BY and Non-Aggregated Columns:", 1006},
                                                 {"LIKE Escape Character:", 1010},
                                                 {"ORDER BY Columns Must Be In SELECT:", 1007},
                                                 {"Outer Join Support:", 1008}};
    for (const auto& [label, id] : texts)
        m_texts.push_back(AddValue(this, grid, label, id));
    auto* groups = new wxFlexGridSizer(2, 0, 0);
    const FlagGroup flagGroups[] = {
        {"ALTER TABLE support:", 0, {{"ADD Column", 0}, {"DROP Column", 0}}},
        {"Positioned Statements:", 0, {{"Delete", 0}, {"Update", 0}, {"Select for Update", 0}}},
        {"Subquery Support:", 0, {{"Comparison", 0}, {"EXISTS", 0}, {"IN", 0}, {"Quantified", 0}, {"Correlated", 0}}},
        {"UNION Support:", 0, {{"UNION", 0}, {"UNION with ALL", 0}}},
    };
    for (const FlagGroup& g : flagGroups)
        for (wxCheckBox* box : AddFlagGroup(this, groups, g))
            m_flags.push_back(box);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(groups, 0, wxEXPAND | wxALL, 6);
    top->Add(grid, 0, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

void CSupportedSQL::Render()
{
    const SupportedSqlModel& m = m_model;
    const std::string* texts[] = {&m.columnAliases, &m.correlationNames, &m.orderByExpressions, &m.groupBy,
                                  &m.likeEscape,    &m.orderByInSelect,  &m.outerJoins};
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i]->SetLabelText(U(*texts[i]));
    const bool flags[] = {m.alterAdd,           m.alterDrop,      m.positionedDelete, m.positionedUpdate,
                          m.selectForUpdate,    m.subqueryComparison, m.subqueryExists, m.subqueryIn,
                          m.subqueryQuantified, m.subqueryCorrelated, m.unionPlain,   m.unionAll};
    for (size_t i = 0; i < m_flags.size(); ++i)
        m_flags[i]->SetValue(flags[i]);
}

// Data Types

CDataTypes::CDataTypes(wxWindow* parent, InfoSource& source, DataTypesModel& model)
    : CInfoPage(parent, source), m_model(model)
{
    m_types = new wxListBox(this, 1006, wxDefaultPosition, FromDIP(wxSize(180, 260)), 0, nullptr,
                            wxLB_SINGLE | wxLB_HSCROLL);
    m_conversions = new wxListBox(this, 1020, wxDefaultPosition, FromDIP(wxSize(180, 120)), 0, nullptr,
                                  wxLB_SINGLE | wxLB_HSCROLL);
    m_types->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { OnSelchangeDataTypes(); });
    auto* grid = ValueGrid();
    const char* labels[] = {"SQL Type:",     "Precision:",  "Literal Prefix,Suffix:", "Create Parameters:",
                            "Nullable:",     "Case Sensitive:", "Searchable:",        "Unsigned:",
                            "Money:",        "Auto Increment:", "Minimum Scale:",     "Maximum Scale:"};
    int id = 1008;
    for (const char* label : labels)
        m_details.push_back(AddValue(this, grid, label, id++));
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(grid, 0, wxEXPAND);
    right->AddSpacer(8);
    right->Add(Labelled(this, "&Convert() conversions:", m_conversions), 1, wxEXPAND);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(Labelled(this, "&Data Types:", m_types), 0, wxEXPAND | wxALL, 10);
    top->Add(right, 1, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

void CDataTypes::FetchAndRender()
{
    wxBusyCursor wait;
    m_fetched = true;
    m_model.FetchInfo(m_source);
    Render();
}

void CDataTypes::Render()
{
    m_types->Clear();
    for (const TypeInfoRow& row : m_model.types)
        m_types->Append(U(row.typeName));
    if (m_types->GetCount() > 0) {
        m_types->SetSelection(0);
        OnSelchangeDataTypes();
    }
}

void CDataTypes::OnSelchangeDataTypes()
{
    if (m_model.types.empty()) {
        m_details[0]->SetLabelText(kNotApplicable);
        return;
    }
    const int selected = m_types->GetSelection();
    // By name, as listed: a name the driver gave twice shows its first row.
    const std::optional<TypeDetails> details =
        selected == wxNOT_FOUND ? std::nullopt : m_model.Details(m_source, m_types->GetString(selected).utf8_string());
    if (!details) {
        m_details[0]->SetLabelText("<n/a>?");
        return;
    }
    const std::string* texts[] = {&details->sqlType,      &details->precision,     &details->literals,
                                  &details->createParams, &details->nullable,      &details->caseSensitive,
                                  &details->searchable,   &details->unsignedText,  &details->money,
                                  &details->autoIncrement, &details->minimumScale, &details->maximumScale};
    for (size_t i = 0; i < m_details.size(); ++i)
        m_details[i]->SetLabelText(U(*texts[i]));
    m_conversions->Clear();
    for (const std::string& name : details->conversions)
        m_conversions->Append(U(name));
}

// Identifiers

CIdentifiers::CIdentifiers(wxWindow* parent, InfoSource& source, IdentifiersModel& model)
    : CInfoPage(parent, source), m_model(model)
{
    m_odbcKeywords = new wxListBox(this, 1066, wxDefaultPosition, FromDIP(wxSize(170, 260)), 0, nullptr,
                                   wxLB_SINGLE | wxLB_HSCROLL);
    m_driverKeywords = new wxListBox(this, 1068, wxDefaultPosition, FromDIP(wxSize(170, 260)), 0, nullptr,
                                     wxLB_SINGLE | wxLB_HSCROLL);
    auto* grid = ValueGrid();
    const std::pair<const char*, int> texts[] = {{"Identifier Case:", 1069},
                                                 {"Identifier Quote Character:", 1071},
                                                 {"Owner Term:", 1035},
                                                 {"Procedure Term:", 1036},
                                                 {"Qualifier Location:", 1074},
                                                 {"Qualifier Name Separator:", 1075},
                                                 {"Qualifier Term:", 1037},
                                                 {"Quoted Identifier Case:", 1077},
                                                 {"Search Pattern Escape:", 1078},
                                                 {"Table Term:", 1038}};
    for (const auto& [label, id] : texts)
        m_texts.push_back(AddValue(this, grid, label, id));
    grid->Add(new wxStaticText(this, wxID_ANY, "Special Characters:"), 0, wxALIGN_TOP);
    m_specialCharacters = new wxTextCtrl(this, 1070, wxEmptyString, wxDefaultPosition, FromDIP(wxSize(220, 60)),
                                         wxTE_MULTILINE | wxTE_READONLY);
    grid->Add(m_specialCharacters, 1, wxEXPAND);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 10);
    top->Add(Labelled(this, "&ODBC Keywords:", m_odbcKeywords), 0, wxEXPAND | wxALL, 10);
    top->Add(Labelled(this, "&Driver-Specific Keywords:", m_driverKeywords), 0, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

void CIdentifiers::Render()
{
    const IdentifiersModel& m = m_model;
    const std::string* texts[] = {&m.identifierCase, &m.quoteChar,     &m.ownerTerm,
                                  &m.procedureTerm,  &m.qualifierLocation, &m.qualifierSeparator,
                                  &m.qualifierTerm,  &m.quotedIdentifierCase, &m.searchPatternEscape,
                                  &m.tableTerm};
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i]->SetLabelText(U(*texts[i]));
    m_specialCharacters->ChangeValue(U(m.specialCharacters));
    wxArrayString words;
    for (const std::string& word : IdentifiersModel::OdbcKeywords())
        words.Add(U(word));
    m_odbcKeywords->Set(words);
    words.clear();
    for (const std::string& word : m.driverKeywords)
        words.Add(U(word));
    m_driverKeywords->Set(words);
}

// Limits

CLimits::CLimits(wxWindow* parent, InfoSource& source, LimitsModel& model)
    : CInfoPage(parent, source), m_model(model), m_images(CreateSupportImages())
{
    auto* grid = ValueGrid();
    int id = 1042;
    for (const auto& spec : LimitsModel::Limits())
        m_texts.push_back(AddValue(this, grid, spec.label, id++));
    m_addList = CreateMarkList(this, 1063, m_images);
    m_diffList = CreateMarkList(this, 1064, m_images);
    for (wxListCtrl* list : {m_addList, m_diffList})
        list->AppendColumn(wxEmptyString, wxLIST_FORMAT_LEFT, FromDIP(130));
    auto* lists = new wxBoxSizer(wxVERTICAL);
    lists->Add(Labelled(this, "&Timestamp Add Intervals:", m_addList), 1, wxEXPAND | wxBOTTOM, 8);
    lists->Add(Labelled(this, "Timestamp &Diff. Intervals:", m_diffList), 1, wxEXPAND);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 10);
    top->Add(lists, 0, wxEXPAND | wxALL, 10);
    SetSizer(top);
}

CLimits::~CLimits()
{
    m_addList->SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    m_diffList->SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    delete m_images;
}

void CLimits::Render()
{
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i]->SetLabelText(U(m_model.texts[i]));
    const std::pair<wxListCtrl*, const std::optional<std::vector<bool>>*> lists[] = {
        {m_addList, &m_model.addIntervals}, {m_diffList, &m_model.diffIntervals}};
    for (const auto& [list, intervals] : lists) {
        list->DeleteAllItems();
        if (!*intervals) {
            list->InsertItem(0, kNotApplicable, -1);
            continue;
        }
        for (size_t i = 0; i < LimitsModel::Intervals().size(); ++i)
            list->InsertItem(static_cast<long>(i), LimitsModel::Intervals()[i].name, (**intervals)[i] ? 1 : 0);
    }
}

// Misc. 1

CMisc1::CMisc1(wxWindow* parent, InfoSource& source, Misc1Model& model) : CInfoPage(parent, source), m_model(model)
{
    auto* grid = ValueGrid();
    const std::pair<const char*, int> texts[] = {{"Transaction Capabilities:", 1021},
                                                 {"Cursor Commit Behavior:", 1022},
                                                 {"Cursor Rollback Behavior:", 1024},
                                                 {"Default Transaction Isolation Level:", 1029},
                                                 {"Multiple Active Transactions:", 1030}};
    for (const auto& [label, id] : texts)
        m_texts.push_back(AddValue(this, grid, label, id));
    auto* groups = new wxFlexGridSizer(4, 0, 0);
    for (const FlagGroup* g : {&Misc1Model::IsolationLevels(), &Misc1Model::BookmarkPersistence(),
                               &Misc1Model::LockTypes(), &Misc1Model::StaticSensitivity()})
        m_groups.push_back(AddFlagGroup(this, groups, *g));
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 0, wxEXPAND | wxALL, 10);
    top->Add(groups, 0, wxEXPAND | wxALL, 6);
    SetSizer(top);
}

void CMisc1::Render()
{
    const Misc1Model& m = m_model;
    const std::string* texts[] = {&m.transactionCapable, &m.commitBehavior, &m.rollbackBehavior, &m.defaultIsolation,
                                  &m.multipleActiveTxn};
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i]->SetLabelText(U(*texts[i]));
    ShowFlags(m_groups[0], Misc1Model::IsolationLevels(), m.isolation);
    ShowFlags(m_groups[1], Misc1Model::BookmarkPersistence(), m.bookmarks);
    ShowFlags(m_groups[2], Misc1Model::LockTypes(), m.lockTypes);
    ShowFlags(m_groups[3], Misc1Model::StaticSensitivity(), m.staticSensitivity);
}

// Misc. 2

CMisc2::CMisc2(wxWindow* parent, InfoSource& source, Misc2Model& model) : CInfoPage(parent, source), m_model(model)
{
    auto* grid = ValueGrid();
    const std::pair<const char*, int> texts[] = {{"Need Long Data Length:", 1031}, {"Non-Nullable Columns:", 1032},
                                                 {"Null Concatenation:", 1034},    {"Null Collation:", 1035},
                                                 {"Procedures:", 1033},            {"Row Updates:", 1036}};
    for (const auto& [label, id] : texts)
        m_texts.push_back(AddValue(this, grid, label, id));
    auto* groups = new wxFlexGridSizer(4, 0, 0);
    for (const FlagGroup& g : Misc2Model::Groups())
        m_groups.push_back(AddFlagGroup(this, groups, g));
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 0, wxEXPAND | wxALL, 10);
    top->Add(groups, 0, wxEXPAND | wxALL, 6);
    SetSizer(top);
}

void CMisc2::Render()
{
    const Misc2Model& m = m_model;
    const std::string* texts[] = {&m.needLongDataLength, &m.nonNullableColumns, &m.nullConcatenation,
                                  &m.nullCollation,      &m.procedures,         &m.rowUpdates};
    for (size_t i = 0; i < m_texts.size(); ++i)
        m_texts[i]->SetLabelText(U(*texts[i]));
    for (size_t g = 0; g < m_groups.size(); ++g)
        ShowFlags(m_groups[g], Misc2Model::Groups()[g], m.masks[g]);
}

} // namespace ferrow
