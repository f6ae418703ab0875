#include "WorkbookReader.h"

#include "querycore/Utf8.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

namespace torvane::test {

namespace {

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ZipPart(const std::string& path, const std::string& part)
{
    const std::string command = "unzip -p " + Quoted(path) + " " + Quoted(part) + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        throw std::runtime_error("unzip could not run");
    std::string bytes;
    char block[65536];
    for (size_t got; (got = fread(block, 1, sizeof block, pipe.get())) > 0;)
        bytes.append(block, got);
    if (bytes.empty())
        throw std::runtime_error(path + " has no part " + part);
    return bytes;
}

using Doc = std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)>;

Doc Parse(const std::string& bytes)
{
    Doc doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, XML_PARSE_HUGE), xmlFreeDoc);
    if (!doc)
        throw std::runtime_error("a workbook part is not well-formed XML");
    return doc;
}

std::string Name(xmlNodePtr node) { return reinterpret_cast<const char*>(node->name); }

std::string Attribute(xmlNodePtr node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return std::string();
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// The cell text with the format's escapes of characters XML cannot carry ("_x000D_") undone.
std::string Content(xmlNodePtr node)
{
    xmlChar* value = xmlNodeGetContent(node);
    const std::string raw(value ? reinterpret_cast<const char*>(value) : "");
    xmlFree(value);
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw.compare(i, 2, "_x") == 0 && i + 6 < raw.size() && raw[i + 6] == '_' &&
            raw.find_first_not_of("0123456789ABCDEFabcdef", i + 2) == i + 6) {
            utf8::Append(text, static_cast<char32_t>(std::stoi(raw.substr(i + 2, 4), nullptr, 16)));
            i += 6;
            continue;
        }
        text += raw[i];
    }
    return text;
}

template <class F>
void Walk(xmlNodePtr node, const F& visit)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        visit(node);
        Walk(node->children, visit);
    }
}

// "BC12" -> column 54 (from 0).
int ColumnOf(const std::string& reference)
{
    int column = 0;
    for (char c : reference) {
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
    }
    return column - 1;
}

} // namespace

Workbook ReadWorkbook(const std::string& path)
{
    // Every part's CRC and sizes must hold.
    if (std::system(("unzip -tqq " + Quoted(path) + " >/dev/null 2>&1").c_str()) != 0)
        throw std::runtime_error(path + " fails unzip's test");
    Workbook book;
    const Doc workbook = Parse(ZipPart(path, "xl/workbook.xml"));
    Walk(xmlDocGetRootElement(workbook.get()), [&](xmlNodePtr n) {
        if (Name(n) == "sheet" && book.sheetName.empty())
            book.sheetName = Attribute(n, "name");
    });

    // The cell styles that are text, left-aligned and centred vertically.
    std::map<int, bool> textStyle;
    const Doc styles = Parse(ZipPart(path, "xl/styles.xml"));
    Walk(xmlDocGetRootElement(styles.get()), [&](xmlNodePtr n) {
        if (Name(n) != "cellXfs")
            return;
        int index = 0;
        for (xmlNodePtr xf = n->children; xf; xf = xf->next) {
            if (xf->type != XML_ELEMENT_NODE)
                continue;
            bool left = false, middle = false;
            for (xmlNodePtr a = xf->children; a; a = a->next)
                if (a->type == XML_ELEMENT_NODE && Name(a) == "alignment") {
                    left = Attribute(a, "horizontal") == "left";
                    middle = Attribute(a, "vertical") == "center";
                }
            textStyle[index++] = Attribute(xf, "numFmtId") == "49" && left && middle;
        }
    });

    const Doc sheet = Parse(ZipPart(path, "xl/worksheets/sheet1.xml"));
    Walk(xmlDocGetRootElement(sheet.get()), [&](xmlNodePtr n) {
        const std::string name = Name(n);
        if (name == "dimension")
            book.dimension = Attribute(n, "ref");
        else if (name == "pane" && Attribute(n, "state") == "frozen")
            book.frozenRows = std::stoi(Attribute(n, "ySplit").empty() ? "0" : Attribute(n, "ySplit"));
        else if (name == "col")
            for (int c = std::stoi(Attribute(n, "min")); c <= std::stoi(Attribute(n, "max")); ++c)
                book.columnWidths.push_back(std::stod(Attribute(n, "width")));
        else if (name == "c") {
            const std::string reference = Attribute(n, "r");
            const size_t digits = reference.find_first_of("0123456789");
            const size_t row = std::stoul(reference.substr(digits)) - 1;
            const size_t column = static_cast<size_t>(ColumnOf(reference));
            if (book.rows.size() <= row)
                book.rows.resize(row + 1);
            if (book.rows[row].size() <= column)
                book.rows[row].resize(column + 1);
            book.rows[row][column] = Content(n);
            const std::string style = Attribute(n, "s");
            if (Attribute(n, "t") != "inlineStr" || style.empty() || !textStyle[std::stoi(style)])
                book.allTextCells = false;
        }
    });
    // Cells left empty (not written) at the end of a row are empty strings too.
    size_t width = 0;
    for (const auto& row : book.rows)
        width = std::max(width, row.size());
    for (auto& row : book.rows)
        row.resize(width);
    return book;
}

} // namespace torvane::test
