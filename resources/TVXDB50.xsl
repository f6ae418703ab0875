<?xml version="1.0" encoding="UTF-8"?>
<!-- Shows a rowset saved in the XML persistence format as an HTML table: one header cell per
     column in the schema's order (its rs:name when the attribute had to be renamed), one table
     row per z:row, and an empty cell for a value the row leaves out (NULL). -->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:s="uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882"
    xmlns:dt="uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"
    xmlns:rs="urn:schemas-microsoft-com:rowset"
    xmlns:z="#RowsetSchema"
    exclude-result-prefixes="s dt rs z">
<xsl:output method="html" encoding="UTF-8" indent="no"/>

<xsl:variable name="columns" select="/xml/s:Schema/s:ElementType/s:AttributeType"/>

<xsl:template match="/">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
<title>RowsetSchema</title>
<style type="text/css">
body { font-family: sans-serif; font-size: 10pt; }
table { border-collapse: collapse; }
th, td { border: 1px solid #a0a0a0; padding: 2px 6px; text-align: left; vertical-align: middle; white-space: pre; }
th { background: #e8e8e8; }
</style>
</head>
<body>
<table>
<thead>
<tr>
<xsl:for-each select="$columns">
<th><xsl:choose>
<xsl:when test="@rs:name"><xsl:value-of select="@rs:name"/></xsl:when>
<xsl:otherwise><xsl:value-of select="@name"/></xsl:otherwise>
</xsl:choose></th>
</xsl:for-each>
</tr>
</thead>
<tbody>
<xsl:for-each select="/xml/rs:data/z:row">
<xsl:variable name="row" select="."/>
<tr>
<xsl:for-each select="$columns">
<td><xsl:value-of select="$row/@*[local-name() = current()/@name and namespace-uri() = '']"/></td>
</xsl:for-each>
</tr>
</xsl:for-each>
</tbody>
</table>
</body>
</html>
</xsl:template>

</xsl:stylesheet>
