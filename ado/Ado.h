// The data layer: an ODBC bridge that follows the object model and semantics of the ADO 2.8
// objects the program was designed around (Connection, Recordset, Fields, Errors, Properties,
// connection events, schema rowsets, persistence). Every failure throws _com_error and, for
// provider errors, fills the connection's Errors collection.
//
// Threads: a Connection and its Recordsets are used by one thread at a time; Cancel may be
// called from any thread.
#pragma once

#include "AdoEnums.h"
#include "platform/com/ComTypes.h"
#include "platform/com/Variant.h"

#include <memory>
#include <string>
#include <vector>

namespace ado {

class Connection;
class Recordset;
class Fields;
class Field;
class Errors;
class Error;
class Properties;
class Property;
class ConnectionEvents;

typedef std::shared_ptr<Connection> ConnectionPtr;
typedef std::shared_ptr<Recordset> RecordsetPtr;
typedef std::shared_ptr<Fields> FieldsPtr;
typedef std::shared_ptr<Field> FieldPtr;
typedef std::shared_ptr<Errors> ErrorsPtr;
typedef std::shared_ptr<Error> ErrorPtr;
typedef std::shared_ptr<Properties> PropertiesPtr;
typedef std::shared_ptr<Property> PropertyPtr;

// The version of the object model whose behaviour the layer follows.
inline constexpr const char* kVersion = "2.8";

class Error {
public:
    virtual ~Error() = default;
    virtual std::string GetDescription() const = 0;
    virtual std::string GetSQLState() const = 0;
    virtual long GetNativeError() const = 0;
    virtual std::string GetSource() const = 0;
    virtual long GetNumber() const = 0; // an HRESULT
};

class Errors {
public:
    virtual ~Errors() = default;
    virtual long GetCount() const = 0;
    virtual ErrorPtr GetItem(long index) const = 0; // throws adErrItemNotFound when out of range
    virtual void Clear() = 0;
};

class Property {
public:
    virtual ~Property() = default;
    virtual std::string GetName() const = 0;
    virtual _variant_t GetValue() const = 0;
    virtual void PutValue(const _variant_t& value) = 0; // throws when the property is read-only
    virtual DataTypeEnum GetType() const = 0;
    virtual long GetAttributes() const = 0;
};

class Properties {
public:
    virtual ~Properties() = default;
    virtual long GetCount() const = 0;
    // By index (0-based) or by name (case-insensitive); throws adErrItemNotFound.
    virtual PropertyPtr GetItem(long index) const = 0;
    virtual PropertyPtr GetItem(const std::string& name) const = 0;
    virtual void Refresh() = 0;
};

class Field {
public:
    virtual ~Field() = default;
    virtual std::string GetName() const = 0;
    virtual DataTypeEnum GetType() const = 0;
    virtual long GetDefinedSize() const = 0;
    virtual unsigned char GetPrecision() const = 0;
    virtual unsigned char GetNumericScale() const = 0;
    virtual long GetAttributes() const = 0;
    // Size of the current row's value in bytes (characters for text), -1 for NULL.
    virtual long GetActualSize() const = 0;
    // The current row's value; throws adErrNoCurrentRecord at BOF/EOF.
    virtual _variant_t GetValue() const = 0;
};

class Fields {
public:
    virtual ~Fields() = default;
    virtual long GetCount() const = 0;
    virtual FieldPtr GetItem(long index) const = 0;
    virtual FieldPtr GetItem(const std::string& name) const = 0; // case-insensitive
};

// Listener for the connection's events. Both are called on the thread that completes the
// work: InfoMessage for warnings and messages that come with a successful call (the
// connection's Errors then hold them, one message each), ExecuteComplete for asynchronous
// executions only. A listener must not wait for a thread that may be closing the recordset or
// connection at that moment: Close waits for the asynchronous work, event included, to end.
class ConnectionEvents {
public:
    virtual ~ConnectionEvents() = default;
    virtual void InfoMessage(Error* pError, EventStatusEnum* adStatus, Connection* pConnection) {}
    virtual void ExecuteComplete(long recordsAffected, Error* pError, EventStatusEnum* adStatus,
                                 Recordset* pRecordset, Connection* pConnection) {}
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    static ConnectionPtr Create();
    virtual ~Connection() = default;

    virtual void Open(const std::string& connectionString, const std::string& userID = {},
                      const std::string& password = {}, long options = adConnectUnspecified) = 0;
    virtual void Close() = 0; // rolls back an open transaction
    virtual long GetState() const = 0;

    // The ADO form: "Provider=MSDASQL.1;..." followed by the driver's completed attributes.
    virtual std::string GetConnectionString() const = 0;
    virtual void PutConnectionString(const std::string& value) = 0;
    virtual long GetConnectionTimeout() const = 0;
    virtual void PutConnectionTimeout(long seconds) = 0;
    virtual long GetCommandTimeout() const = 0;
    virtual void PutCommandTimeout(long seconds) = 0;
    virtual IsolationLevelEnum GetIsolationLevel() const = 0;
    virtual void PutIsolationLevel(IsolationLevelEnum level) = 0;
    virtual std::string GetProvider() const = 0;
    virtual std::string GetDefaultDatabase() const = 0;
    virtual std::string GetVersion() const = 0;

    // Returns the nesting level (1).
    virtual long BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;

    // Runs text; returns an open Recordset for the first result (closed when the statement
    // returns no rows). recordsAffected receives VT_I4, -1 when the count is unknown. With
    // adExecuteNoRecords every result is passed over and nullptr returned; with
    // adAsyncExecute the Recordset returns at once, executing, as Recordset::Open does.
    virtual RecordsetPtr Execute(const std::string& commandText, _variant_t* recordsAffected = nullptr,
                                 long options = adCmdText) = 0;

    // Restrictions are positional as in the schema's restriction columns; VT_EMPTY means none.
    // Throws the "not supported" error for rowsets the database cannot supply.
    virtual RecordsetPtr OpenSchema(SchemaEnum schema,
                                    const std::vector<_variant_t>& restrictions = {}) = 0;

    virtual ErrorsPtr GetErrors() const = 0;
    virtual PropertiesPtr GetProperties() const = 0;

    // Listeners are not owned; Unadvise before the listener dies. Once Unadvise returns, no
    // call of that listener is in progress.
    virtual long Advise(ConnectionEvents* sink) = 0;
    virtual void Unadvise(long cookie) = 0;

    // Cancels every statement of this connection that is executing or being read, whichever
    // Recordset (or Execute call) runs it; safe from any thread. Reaches a synchronous
    // Execute, which has no Recordset yet that a caller could cancel.
    virtual void Cancel() = 0;

    // The ODBC connection handle (SQLHDBC), for code that calls the driver manager directly.
    virtual void* GetNativeHandle() const = 0;
};

class Recordset : public std::enable_shared_from_this<Recordset> {
public:
    static RecordsetPtr Create();
    virtual ~Recordset() = default;

    // source: command text. With adAsyncExecute the call returns at once with State
    // adStateOpen|adStateExecuting; the connection's listeners get ExecuteComplete when the
    // statement ends, on the layer's own thread.
    virtual void Open(const _variant_t& source, const ConnectionPtr& activeConnection,
                      CursorTypeEnum cursorType = adOpenForwardOnly,
                      LockTypeEnum lockType = adLockReadOnly, long options = adCmdText) = 0;
    virtual void Close() = 0;
    // Safe from any thread, also against a concurrent Close; reaches a statement that is
    // executing on either path.
    virtual void Cancel() = 0;
    virtual long GetState() const = 0;

    virtual long GetCacheSize() const = 0;
    virtual void PutCacheSize(long rows) = 0;
    virtual long GetMaxRecords() const = 0;
    virtual void PutMaxRecords(long rows) = 0;
    virtual ConnectionPtr GetActiveConnection() const = 0;

    virtual bool IsBOF() const = 0;
    virtual bool IsEOF() const = 0;
    virtual void MoveNext() = 0;

    // Moves to the next result of the same command and returns this same recordset (open for
    // rows, closed for a row count), so that a Cancel through any reference keeps reaching the
    // command; nullptr, with this recordset closed, when there is none. recordsAffected
    // receives VT_I4 (-1 when the count is unknown or the result has rows).
    virtual RecordsetPtr NextRecordset(_variant_t* recordsAffected = nullptr) = 0;

    virtual FieldsPtr GetFields() const = 0;
    // Shortcut for GetFields()->GetItem(index)->GetValue().
    virtual _variant_t GetCollect(long index) const = 0;

    // For consumers that read many rows (results grids, exports): appends the text of field
    // index of the current row to out, as GetCollect(index).ToString() gives it (a binary
    // value: its bytes), without building a variant; returns false and appends nothing for
    // NULL. Where the database keeps values as text whatever the declared type (SQLite), the
    // text is the database's own ("2024-01-02 00:00:00" where ToString of the date gives
    // "2024-01-02"). The layer's own recordsets allocate nothing here once out has room.
    // Throws as GetCollect does.
    virtual bool AppendCellText(long index, std::string& out) const
    {
        _variant_t v = GetCollect(index);
        if (v.IsNull())
            return false;
        if (v.vt == (VT_ARRAY | VT_UI1))
            out.append(v.bytes.begin(), v.bytes.end());
        else
            out += v.ToString();
        return true;
    }

    // Writes the remaining rows (from the current position) in ADTG or XML persistence format.
    virtual void Save(const std::string& destination, PersistFormatEnum format) = 0;
};

} // namespace ado
