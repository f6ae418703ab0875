// Reader of the XML persistence format for the tests, on libxml2: checks the document's
// structure (root, namespaces by URI, schema, data section) and gives back the schema's
// attributes and each row's attribute values after XML parsing (so escaping and attribute
// normalisation are undone exactly as any XML reader would). Throws std::runtime_error on
// anything that is not well-formed or not in the format.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace torvane::test {

struct XmlColumnInfo {
    std::string name;        // the attribute name used in z:row
    std::string columnName;  // rs:name when present, else name
    int number = 0;          // rs:number
    // Attributes of s:AttributeType and of its s:datatype, keyed "rs:..." / "dt:..." by
    // namespace URI whatever prefix the document used.
    std::map<std::string, std::string> attributes;
    std::map<std::string, std::string> datatype;
};

struct XmlRowset {
    std::vector<XmlColumnInfo> columns;
    // One entry per column, in column order; nullopt where the row has no attribute (NULL).
    std::vector<std::vector<std::optional<std::string>>> rows;
};

XmlRowset ReadRowsetXml(const std::string& text);

} // namespace torvane::test
