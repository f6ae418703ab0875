#include "XmlPublishing.h"

#include "common/FileException.h"
#include "common/FileHelpers.h"
#include "ReplacingFile.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace xml_publishing {

std::string ShippedStylesheetPath()
{
    const wxString folder = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
    return (folder + "/" + kStylesheetName).utf8_string();
}

std::string StylesheetPathFor(const std::string& xmlPath)
{
    // Only the final extension: a folder named "x.xml.d" stays, and "OUT.XML" gets its
    // stylesheet beside it instead of being overwritten by it.
    const size_t slash = xmlPath.rfind('/');
    const size_t dot = xmlPath.rfind('.');
    const bool isXml = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1) &&
                       xmlPath.size() - dot == 4 && wxString::FromUTF8(xmlPath.substr(dot)).IsSameAs(".xml", false);
    if (!isXml)
        throw std::string("'" + xmlPath + "'.\nOnly a file with the extension .xml can be published.");
    return xmlPath.substr(0, dot) + ".xsl";
}

std::string EscapeTitle(std::string_view title)
{
    std::string text;
    text.reserve(title.size());
    for (char c : title) {
        switch (c) {
        case '&': text += "&amp;"; break;
        case '<': text += "&lt;"; break;
        case '>': text += "&gt;"; break;
        default: text += c;
        }
    }
    return text;
}

std::string StylesheetLinkLine(const std::string& stylesheetPath)
{
    const size_t slash = stylesheetPath.rfind('/');
    const std::string name = slash == std::string::npos ? stylesheetPath : stylesheetPath.substr(slash + 1);
    // Unreserved characters stand as they are; every other byte is percent-encoded, which also
    // keeps "&", "<", quotes and "?>" out of the instruction.
    std::string href;
    for (unsigned char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~';
        if (plain) {
            href += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            href += hex;
        }
    }
    return "<?xml-stylesheet type=\"text/xsl\" href=\"" + href + "\"?>\r\n";
}

} // namespace xml_publishing

std::string PublishXmlWithXsl(const std::string& xmlPath, const std::string& title, const std::string& source)
{
    const std::string target = xml_publishing::StylesheetPathFor(xmlPath);
    std::string text = ReadFileToString(wxString::FromUTF8(source));
    const size_t at = text.find(xml_publishing::kTitleLiteral);
    if (at != std::string::npos)
        text.replace(at, xml_publishing::kTitleLiteral.size(),
                     "<title>" + xml_publishing::EscapeTitle(title) + "</title>");
    ReplacingFile file(target);
    file.Write(text);
    file.Commit();
    return target;
}

namespace {

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

void InsertXmlStylesheetLink(const std::string& xmlPath, const std::string& stylesheetPath)
{
    const FdCloser in{::open(xmlPath.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        CFileException::ThrowErrno(errno, wxString::FromUTF8(xmlPath));
    ReplacingFile out(xmlPath);
    out.Write(xml_publishing::StylesheetLinkLine(stylesheetPath));
    // Large blocks: a saved result set can be gigabytes.
    std::unique_ptr<char[]> block(new char[1 << 20]);
    for (;;) {
        const ssize_t got = ::read(in.fd, block.get(), 1 << 20);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            CFileException::ThrowErrno(errno, wxString::FromUTF8(xmlPath));
        if (got == 0)
            break;
        out.Write(std::string_view(block.get(), static_cast<size_t>(got)));
    }
    out.Commit();
}

namespace {

// The messages libxml2 and libxslt report on this thread while one rendering runs.
struct CollectedErrors {
    std::string text;

    static void Collect(void* context, const char* format, ...)
    {
        char line[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        auto* self = static_cast<CollectedErrors*>(context);
        if (self->text.size() < 4096)
            self->text += line;
    }

    CollectedErrors()
    {
        xmlSetGenericErrorFunc(this, &CollectedErrors::Collect);
        xsltSetGenericErrorFunc(this, &CollectedErrors::Collect);
    }
    ~CollectedErrors()
    {
        xmlSetGenericErrorFunc(nullptr, nullptr);
        xsltSetGenericErrorFunc(nullptr, nullptr);
    }

    [[noreturn]] void Throw(const std::string& what) const
    {
        std::string message = what;
        std::string detail = text;
        while (!detail.empty() && (detail.back() == '\n' || detail.back() == ' '))
            detail.pop_back();
        if (!detail.empty())
            message += "\n" + detail;
        throw message;
    }
};

struct DocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct StylesheetFree {
    void operator()(xsltStylesheetPtr style) const { xsltFreeStylesheet(style); }
};

} // namespace

void RenderPublishedHtml(const std::string& xmlPath, const std::string& stylesheetPath, const std::string& htmlPath)
{
    // The library's global tables are made once, before any thread parses.
    static std::once_flag init;
    std::call_once(init, [] { xmlInitParser(); });
    CollectedErrors errors;
    // The rowset format's "#RowsetSchema" namespace is not an absolute address: a warning only.
    const int options = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_HUGE;
    std::unique_ptr<xmlDoc, DocFree> styleDoc(xmlReadFile(stylesheetPath.c_str(), nullptr, options));
    if (!styleDoc)
        errors.Throw("'" + stylesheetPath + "'.\nThe stylesheet could not be read.");
    std::unique_ptr<xsltStylesheet, StylesheetFree> style(xsltParseStylesheetDoc(styleDoc.get()));
    if (!style)
        errors.Throw("'" + stylesheetPath + "'.\nThe stylesheet could not be read.");
    styleDoc.release(); // the stylesheet owns it now
    std::unique_ptr<xmlDoc, DocFree> data(xmlReadFile(xmlPath.c_str(), nullptr, options));
    if (!data)
        errors.Throw("'" + xmlPath + "'.\nThe XML file could not be read.");
    std::unique_ptr<xmlDoc, DocFree> page(xsltApplyStylesheet(style.get(), data.get(), nullptr));
    if (!page)
        errors.Throw("'" + xmlPath + "'.\nThe stylesheet could not be applied.");
    ReplacingFile out(htmlPath);
    xmlChar* bytes = nullptr;
    int size = 0;
    if (xsltSaveResultToString(&bytes, &size, page.get(), style.get()) != 0)
        errors.Throw("'" + htmlPath + "'.\nThe page could not be written.");
    const std::unique_ptr<xmlChar, decltype(xmlFree)> owned(bytes, xmlFree);
    if (bytes)
        out.Write(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size)));
    out.Commit();
}
