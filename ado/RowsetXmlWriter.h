// Writer of the XML persistence format that the object model saves with adPersistXML: the
// root element with the s:, dt:, rs: and z: namespaces, the rowset schema (one
// s:AttributeType per column with its s:datatype) and rs:data with one z:row per record,
// one attribute per non-NULL value. UTF-8, no XML declaration (a stylesheet processing
// instruction may be put in front of the file later).
//
// A column whose name is not an XML name (or repeats an earlier one) is written as
// name='c<index>' with rs:name holding the real name, as the format does for aliases.
// A value or name with a character that XML 1.0 cannot hold fails the save with
// adErrDataConversion naming the row and column; nothing is replaced.
#pragma once

#include "AdoEnums.h"
#include "PersistOutput.h"
#include "platform/com/Variant.h"

#include <string>
#include <vector>

namespace ado {

struct XmlColumn {
    std::string name;
    DataTypeEnum type = adVarWChar;
    long definedSize = 0;
    unsigned char precision = 0;
    unsigned char scale = 0;
    long attributes = 0; // FieldAttributeEnum bits
};

class RowsetXmlWriter {
public:
    // Checks the names (throws when one holds a character XML cannot represent).
    RowsetXmlWriter(PersistOutput& out, std::vector<XmlColumn> columns);

    void WriteSchema();
    // Values in column order; VT_NULL or VT_EMPTY leave the attribute out.
    void WriteRow(const std::vector<_variant_t>& values, long rowNumber);
    void Finish();

    // The attribute that carries column i's values in z:row.
    const std::string& AttributeName(size_t i) const { return m_attributeNames[i]; }

private:
    PersistOutput& m_out;
    std::vector<XmlColumn> m_columns;
    std::vector<std::string> m_attributeNames;
    std::string m_line;
    std::string m_value;
};

} // namespace ado
