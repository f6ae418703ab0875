// Publishing the XML files of a save run: the program's table stylesheet is copied beside the
// run's first XML file with the run's title in it, every XML file of the run gets a stylesheet
// processing instruction in front of its unchanged content, and the last one is rendered to an
// HTML page (browsers refuse to apply a stylesheet to a local file) for the browser to open.
//
// Thread: any; nothing here keeps state. Errors are thrown: a file that cannot be read or
// written as std::filesystem::filesystem_error or CFileException naming it, anything else as a
// std::string text (the save worker reports both, GetSaveErrorText).
#pragma once

#include <string>
#include <string_view>

namespace xml_publishing {

// The stylesheet the program ships, in its own folder.
inline constexpr const char* kStylesheetName = "TVXDB50.xsl";
// The literal the stylesheet holds where the run's title goes.
inline constexpr std::string_view kTitleLiteral = "<title>RowsetSchema</title>";

// The shipped stylesheet: the running program's folder + "/" + kStylesheetName.
std::string ShippedStylesheetPath();

// Where the stylesheet copy for an XML file goes: the path with its ".xml" extension (any
// letter case) replaced by ".xsl". Throws when the path does not end in ".xml", so that the copy
// can never take the data file's own name.
std::string StylesheetPathFor(const std::string& xmlPath);

// The title as the stylesheet's text: "&", "<" and ">" escaped.
std::string EscapeTitle(std::string_view title);

// The line put in front of each published XML file, CR LF included: the stylesheet's file name
// (without its folder) as a relative address, percent-encoded where a byte is not safe in one
// and XML-escaped, so that any file name gives a well-formed instruction.
std::string StylesheetLinkLine(const std::string& stylesheetPath);

} // namespace xml_publishing

// Copies the stylesheet at source beside xmlPath (StylesheetPathFor), replacing a file there,
// with "<title>" + the escaped title + "</title>" in place of the title literal; returns the
// copy's path.
std::string PublishXmlWithXsl(const std::string& xmlPath, const std::string& title,
                              const std::string& source = xml_publishing::ShippedStylesheetPath());

// Puts the link line to stylesheetPath in front of the XML file; the file is rewritten under
// another name beside it and then takes its name, so a failure leaves it unchanged.
void InsertXmlStylesheetLink(const std::string& xmlPath, const std::string& stylesheetPath);

// The page a browser shows for the published XML file: the stylesheet applied with libxslt,
// written to htmlPath.
void RenderPublishedHtml(const std::string& xmlPath, const std::string& stylesheetPath, const std::string& htmlPath);
