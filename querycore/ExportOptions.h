// The rules of the export dialogs and of a save run that need no window: the file type's
// extension, the delimiter checks and the stored delimiter list, the replace question, and the
// names of the files that later result sets of a run go to.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace export_options {

// File types of Execute and Save As (the dialog's filter index).
enum FileType { ADTG = 1, Delimited = 2, XML = 3 };

// The path with ".adtg", ".csv" or ".xml" appended for the file type when it has no extension.
std::string PathWithExtension(const std::string& path, int fileType);

// The refusal text for a delimiter, or nothing when it is acceptable: empty or one character
// repeated, and none of "<", ">", "/".
std::optional<std::string> CheckDelimiter(std::string_view delimiter);

// True when the path's extension is "xml" in any letter case.
bool HasXmlExtension(const std::string& path);
inline constexpr const char* kXmlExtensionMessage =
    "Invalid file extension given for the selected file type. Please change the file extension to <XML> and "
    "then try again.";

// The question asked once every other check has passed, when the chosen file exists. The file
// is replaced only when the run writes its first result set.
std::string ReplaceQuestion(const std::string& path);

// The "Format" setting for a delimiter: "<None>" for an empty one.
std::string StoredFormat(std::string_view delimiter);

// The remembered delimiters ("Grid\Export Options"/"DelimiterList"): each item as "<" + item +
// "/>". Fill appends the stored items (the built-in "<|/><,/>" when the text is blank) that
// items does not hold yet, ignoring case, up to 16 entries; Store puts a new current delimiter
// first and gives the text to store.
void FillDelimiterList(std::vector<std::string>& items, std::string_view stored);
std::string StoreDelimiterList(std::vector<std::string>& items, std::string_view current);

// Where a save run writes a result set: the chosen path for the first of the run, then
// <folder>/<name>_<uniqueName>.<extension> beside it.
std::string SaveTargetPath(const std::string& path, int savedCount, const std::string& uniqueName);

// The title a published stylesheet shows for a document title: every character of code 128 or
// above and every "<" and ">" made "_".
std::string PublishTitle(const std::string& documentTitle);

} // namespace export_options
