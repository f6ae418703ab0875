#include "ExportOptions.h"

#include "common/TrimText.h"

#include "FindNoCase.h"
#include "Utf8.h"

#include <filesystem>

namespace export_options {

namespace {

constexpr std::string_view kBuiltInList = "<|/><,/>";
constexpr size_t kMaxLoadedItems = 16;

bool Holds(const std::vector<std::string>& items, std::string_view item)
{
    for (const std::string& existing : items)
        if (EqualsNoCase(existing, item))
            return true;
    return false;
}

} // namespace

std::string PathWithExtension(const std::string& path, int fileType)
{
    if (std::filesystem::path(path).has_extension())
        return path;
    switch (fileType) {
    case ADTG: return path + ".adtg";
    case Delimited: return path + ".csv";
    case XML: return path + ".xml";
    default: return path;
    }
}

std::optional<std::string> CheckDelimiter(std::string_view delimiter)
{
    size_t pos = 0;
    if (!delimiter.empty()) {
        char32_t first = utf8::Next(delimiter, pos);
        while (pos < delimiter.size())
            if (utf8::Next(delimiter, pos) != first)
                return "<Delimiter> field cannot contain mixed characters.";
    }
    if (delimiter.find_first_of("<>/") != std::string_view::npos)
        return "<Delimiter> field cannot contain any of the following characters:\n\n<>/";
    return std::nullopt;
}

bool HasXmlExtension(const std::string& path)
{
    return EqualsNoCase(std::filesystem::path(path).extension().string(), ".xml");
}

std::string ReplaceQuestion(const std::string& path)
{
    return path + "\nThis file already exists.\nReplace existing file?";
}

std::string StoredFormat(std::string_view delimiter)
{
    return delimiter.empty() ? "<None>" : std::string(delimiter);
}

void FillDelimiterList(std::vector<std::string>& items, std::string_view stored)
{
    std::string_view rest = TrimWhitespace(stored);
    if (rest.empty())
        rest = kBuiltInList;
    for (size_t end = rest.find("/>"); end != std::string_view::npos; end = rest.find("/>")) {
        std::string_view item = end > 0 ? rest.substr(1, end - 1) : std::string_view();
        rest = rest.substr(end + 2);
        if (!Holds(items, item)) {
            items.emplace_back(item);
            if (items.size() >= kMaxLoadedItems)
                break;
        }
    }
}

std::string StoreDelimiterList(std::vector<std::string>& items, std::string_view current)
{
    if (!current.empty() && !Holds(items, current))
        items.insert(items.begin(), std::string(current));
    std::string stored;
    for (const std::string& item : items)
        stored += "<" + item + "/>";
    return stored;
}

std::string SaveTargetPath(const std::string& path, int savedCount, const std::string& uniqueName)
{
    if (savedCount <= 0)
        return path;
    std::filesystem::path p(path);
    std::filesystem::path target = p.parent_path() / p.stem();
    target += "_" + uniqueName + p.extension().string();
    return target.string();
}

std::string PublishTitle(const std::string& documentTitle)
{
    std::string title;
    for (size_t i = 0; i < documentTitle.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(documentTitle[i]);
        if (c < 0x80) {
            title += c == '<' || c == '>' ? '_' : static_cast<char>(c);
            continue;
        }
        // One "_" for the whole UTF-8 sequence of the character.
        title += '_';
        while (i + 1 < documentTitle.size() && (static_cast<unsigned char>(documentTitle[i + 1]) & 0xC0) == 0x80)
            ++i;
    }
    return title;
}

} // namespace export_options
