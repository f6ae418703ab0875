#include "SqlEditTransforms.h"

#include <locale>
#include <stdexcept>
#include <string>

namespace {

size_t LeadingWhitespace(const wxString& line)
{
    size_t i = 0;
    while (i < line.length() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return i;
}

} // namespace

std::optional<CSqlEditTransforms::LineEdit> CSqlEditTransforms::EditLine(const wxString& line, LineOp op,
                                                                         int tabSize)
{
    switch (op) {
    case LineOp::Indent:
        return LineEdit{0, 0, "\t"};
    case LineOp::Outdent: {
        if (!line.empty() && line[0] == '\t')
            return LineEdit{0, 1, {}};
        size_t blanks = 0;
        while (blanks < line.length() && static_cast<int>(blanks) < tabSize && line[blanks] == ' ')
            ++blanks;
        size_t remove = blanks;
        // A TAB after fewer blanks than a tab stop ends the same indentation level.
        if (static_cast<int>(blanks) < tabSize && blanks < line.length() && line[blanks] == '\t')
            ++remove;
        if (remove == 0)
            return std::nullopt;
        return LineEdit{0, remove, {}};
    }
    case LineOp::Comment: {
        size_t lead = LeadingWhitespace(line);
        if (line.compare(lead, 2, "--") == 0)
            return std::nullopt;
        return LineEdit{0, 0, "--"};
    }
    case LineOp::Uncomment: {
        size_t lead = LeadingWhitespace(line);
        if (line.compare(lead, 2, "--") != 0)
            return std::nullopt;
        return LineEdit{lead, 2, {}};
    }
    }
    return std::nullopt;
}

wxString CSqlEditTransforms::ApplyLineEdit(const wxString& line, const LineEdit& edit)
{
    wxString result = line;
    result.replace(edit.offset, edit.removeCount, edit.insert);
    return result;
}

wxString CSqlEditTransforms::ChangeCase(const wxString& text, bool upper)
{
    // Unicode case mapping whatever the process locale is; one character stays one character,
    // so the selection keeps its length.
    static const std::locale unicode = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale();
        }
    }();
    std::wstring chars = text.ToStdWstring();
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(unicode);
    if (upper)
        ctype.toupper(chars.data(), chars.data() + chars.size());
    else
        ctype.tolower(chars.data(), chars.data() + chars.size());
    return wxString(chars);
}

wxString CSqlEditTransforms::Tabify(const wxString& text, int tabSize)
{
    wxString result = text;
    result.Replace(wxString(' ', static_cast<size_t>(tabSize)), "\t");
    return result;
}

wxString CSqlEditTransforms::Untabify(const wxString& text, int tabSize)
{
    wxString result = text;
    result.Replace("\t", wxString(' ', static_cast<size_t>(tabSize)));
    return result;
}

bool CSqlEditTransforms::IsSlashStarComment(const wxString& text)
{
    wxString trimmed = text;
    trimmed.Trim(true).Trim(false);
    return trimmed.StartsWith("/*") && trimmed.EndsWith("*/");
}

std::optional<wxString> CSqlEditTransforms::ToggleSlashStarComment(const wxString& text, bool comment)
{
    if (comment) {
        if (IsSlashStarComment(text))
            return std::nullopt;
        return "/*" + text + "*/";
    }
    wxString result = text;
    size_t open = result.find("/*");
    if (open != wxString::npos)
        result.erase(open, 2);
    size_t star = result.rfind('*');
    if (star != wxString::npos)
        result.erase(star, 2);
    return result;
}

CSqlEditTransforms::Expanded CSqlEditTransforms::ExpandTabsForSave(const wxString& text, int tabSize,
                                                                   long selStart, long selEnd)
{
    Expanded result;
    result.text = Untabify(text, tabSize);
    result.selStart = selStart;
    result.selEnd = selEnd;
    if (selEnd != selStart)
        result.selEnd = selEnd + static_cast<long>(result.text.length()) - static_cast<long>(text.length());
    return result;
}

wxString CSqlEditTransforms::FindSeed(const wxString& selection, const wxString& lastSearch)
{
    if (!selection.empty() && selection.find_first_of("\r\n") == wxString::npos)
        return selection;
    return lastSearch;
}

bool CSqlEditTransforms::ShiftTabDeletes(wxUniChar before)
{
    return before == ' ' || before == '\t';
}
