// Recordset.Save: writes the rows of an open recordset, from the current row to EOF, to a
// new file in ADTG (adPersistADTG) or XML (adPersistXML) persistence format. The recordset is
// left at EOF.
//
// The destination must not exist: like the object model, Save never replaces a file (callers
// that want to replace one delete it first). Every failure throws _com_error:
// adErrInvalidArgument for a bad format or empty destination, adErrObjectClosed for a closed
// recordset, adErrOpeningFile when the file cannot be created (including when it exists),
// adErrWriteFile when writing it fails (disk full, no permission, I/O error) and
// adErrDataConversion naming the row and column of a value the format cannot hold; errors
// of the recordset itself (a cancelled fetch) pass through. After any failure no file is
// left behind.
#pragma once

#include "Ado.h"
#include "PersistOutput.h"

#include <string>

namespace ado {

void PersistRecordset(Recordset& recordset, const std::string& destination, PersistFormatEnum format);

// The same rows written to out, which the caller completes or discards; the errors as above,
// except those of the file, which are out's.
void PersistRecordset(Recordset& recordset, PersistOutput& out, PersistFormatEnum format);

} // namespace ado
