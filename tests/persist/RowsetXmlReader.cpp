#include "RowsetXmlReader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fmt/format.h>

#include <memory>
#include <stdexcept>

namespace torvane::test {

namespace {

constexpr const char* kSchemaNs = "uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882";
constexpr const char* kDatatypeNs = "uuid:C2F41010-65B3-11d1-A29F-00AA00C14882";
constexpr const char* kRowsetNs = "urn:schemas-microsoft-com:rowset";
constexpr const char* kRowNs = "#RowsetSchema";

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("rowset XML: " + what); }

std::string Str(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

bool Is(const xmlNode* n, const char* ns, const char* local)
{
    return n && n->type == XML_ELEMENT_NODE && n->ns && Str(n->ns->href) == ns && Str(n->name) == local;
}

std::vector<xmlNode*> Elements(xmlNode* parent)
{
    std::vector<xmlNode*> out;
    for (xmlNode* c = parent->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE)
            out.push_back(c);
        else if (c->type == XML_TEXT_NODE && !xmlIsBlankNode(c))
            Fail("text content in " + Str(parent->name));
    }
    return out;
}

std::string Value(xmlAttr* a)
{
    xmlChar* v = xmlNodeListGetString(a->doc, a->children, 1);
    std::string s = Str(v);
    xmlFree(v);
    return s;
}

// Attributes keyed by the canonical prefix of their namespace.
std::map<std::string, std::string> Attributes(xmlNode* n, bool allowPlain)
{
    std::map<std::string, std::string> out;
    for (xmlAttr* a = n->properties; a; a = a->next) {
        std::string prefix;
        if (!a->ns) {
            if (!allowPlain)
                Fail("unqualified attribute " + Str(a->name) + " on " + Str(n->name));
        } else if (Str(a->ns->href) == kRowsetNs) {
            prefix = "rs:";
        } else if (Str(a->ns->href) == kDatatypeNs) {
            prefix = "dt:";
        } else {
            Fail("attribute in namespace " + Str(a->ns->href));
        }
        out[prefix + Str(a->name)] = Value(a);
    }
    return out;
}

std::string Prop(xmlNode* n, const char* name)
{
    xmlChar* v = xmlGetProp(n, BAD_CAST name);
    std::string s = Str(v);
    xmlFree(v);
    return s;
}

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

} // namespace

XmlRowset ReadRowsetXml(const std::string& text)
{
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR |
                                                                                    XML_PARSE_NOWARNING));
    if (!doc)
        Fail(fmt::format("not well-formed: {}", Str(reinterpret_cast<const xmlChar*>(
                                                    xmlGetLastError() ? xmlGetLastError()->message : "?"))));
    xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root || root->ns || Str(root->name) != "xml")
        Fail("the root element is not <xml>");
    std::vector<xmlNode*> parts = Elements(root);
    if (parts.size() != 2 || !Is(parts[0], kSchemaNs, "Schema") || !Is(parts[1], kRowsetNs, "data"))
        Fail("the root does not hold s:Schema followed by rs:data");
    if (Prop(parts[0], "id") != "RowsetSchema")
        Fail("the schema's id is not RowsetSchema");

    std::vector<xmlNode*> types = Elements(parts[0]);
    if (types.size() != 1 || !Is(types[0], kSchemaNs, "ElementType"))
        Fail("the schema does not hold one s:ElementType");
    auto typeAttrs = Attributes(types[0], true);
    if (typeAttrs["name"] != "row" || typeAttrs["content"] != "eltOnly")
        Fail("the element type is not name='row' content='eltOnly'");

    XmlRowset out;
    std::map<std::string, size_t> byName;
    std::vector<xmlNode*> items = Elements(types[0]);
    if (items.empty() || !Is(items.back(), kSchemaNs, "extends") || Prop(items.back(), "type") != "rs:rowbase")
        Fail("the element type does not end in s:extends type='rs:rowbase'");
    items.pop_back();
    for (xmlNode* item : items) {
        if (!Is(item, kSchemaNs, "AttributeType"))
            Fail("unexpected element " + Str(item->name) + " in the element type");
        XmlColumnInfo col;
        col.attributes = Attributes(item, true);
        col.name = col.attributes["name"];
        col.attributes.erase("name");
        col.columnName = col.attributes.count("rs:name") ? col.attributes["rs:name"] : col.name;
        col.number = std::stoi(col.attributes.at("rs:number"));
        std::vector<xmlNode*> dts = Elements(item);
        if (dts.size() != 1 || !Is(dts[0], kSchemaNs, "datatype"))
            Fail("attribute type " + col.name + " does not hold one s:datatype");
        col.datatype = Attributes(dts[0], false);
        if (byName.count(col.name))
            Fail("two columns named " + col.name);
        if (col.number != static_cast<int>(out.columns.size()) + 1)
            Fail(fmt::format("column {} has rs:number {}", out.columns.size() + 1, col.number));
        byName[col.name] = out.columns.size();
        out.columns.push_back(std::move(col));
    }

    for (xmlNode* row : Elements(parts[1])) {
        if (!Is(row, kRowNs, "row"))
            Fail("unexpected element " + Str(row->name) + " in rs:data");
        if (Elements(row).size() != 0)
            Fail("z:row has content");
        std::vector<std::optional<std::string>> values(out.columns.size());
        for (xmlAttr* a = row->properties; a; a = a->next) {
            if (a->ns)
                Fail("qualified attribute on z:row");
            auto it = byName.find(Str(a->name));
            if (it == byName.end())
                Fail("z:row attribute " + Str(a->name) + " has no column");
            values[it->second] = Value(a);
        }
        out.rows.push_back(std::move(values));
    }
    return out;
}

} // namespace torvane::test
