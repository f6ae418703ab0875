// The data layer's enumerations, with the numeric values of the object model it follows,
// so that stored files (ADTG, XML) and callers that test numbers keep working.
#pragma once

namespace ado {

enum DataTypeEnum {
    adEmpty = 0, adSmallInt = 2, adInteger = 3, adSingle = 4, adDouble = 5, adCurrency = 6,
    adDate = 7, adBSTR = 8, adIDispatch = 9, adError = 10, adBoolean = 11, adVariant = 12,
    adIUnknown = 13, adDecimal = 14, adTinyInt = 16, adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18, adUnsignedInt = 19, adBigInt = 20, adUnsignedBigInt = 21,
    adFileTime = 64, adGUID = 72, adBinary = 128, adChar = 129, adWChar = 130, adNumeric = 131,
    adUserDefined = 132, adDBDate = 133, adDBTime = 134, adDBTimeStamp = 135, adChapter = 136,
    adPropVariant = 138, adVarNumeric = 139, adVarChar = 200, adLongVarChar = 201,
    adVarWChar = 202, adLongVarWChar = 203, adVarBinary = 204, adLongVarBinary = 205,
};

enum ObjectStateEnum {
    adStateClosed = 0, adStateOpen = 1, adStateConnecting = 2, adStateExecuting = 4,
    adStateFetching = 8,
};

enum CursorTypeEnum {
    adOpenUnspecified = -1, adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2,
    adOpenStatic = 3,
};

enum LockTypeEnum {
    adLockUnspecified = -1, adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum CursorLocationEnum { adUseNone = 1, adUseServer = 2, adUseClient = 3 };

// CommandTypeEnum and ExecuteOptionEnum share the Options argument.
enum CommandTypeEnum {
    adCmdUnspecified = -1, adCmdUnknown = 8, adCmdText = 1, adCmdTable = 2,
    adCmdStoredProc = 4, adCmdFile = 256, adCmdTableDirect = 512,
};
enum ExecuteOptionEnum {
    adOptionUnspecified = -1, adAsyncExecute = 0x10, adAsyncFetch = 0x20,
    adAsyncFetchNonBlocking = 0x40, adExecuteNoRecords = 0x80,
};
enum ConnectOptionEnum { adConnectUnspecified = -1, adAsyncConnect = 0x10 };

enum ConnectPromptEnum {
    adPromptAlways = 1, adPromptComplete = 2, adPromptCompleteRequired = 3, adPromptNever = 4,
};

enum IsolationLevelEnum {
    adXactUnspecified = -1, adXactChaos = 0x10, adXactReadUncommitted = 0x100,
    adXactBrowse = 0x100, adXactCursorStability = 0x1000, adXactReadCommitted = 0x1000,
    adXactRepeatableRead = 0x10000, adXactSerializable = 0x100000, adXactIsolated = 0x100000,
};

enum FieldAttributeEnum {
    adFldUnspecified = -1, adFldMayDefer = 0x2, adFldUpdatable = 0x4,
    adFldUnknownUpdatable = 0x8, adFldFixed = 0x10, adFldIsNullable = 0x20,
    adFldMayBeNull = 0x40, adFldLong = 0x80, adFldRowID = 0x100, adFldRowVersion = 0x200,
    adFldCacheDeferred = 0x1000, adFldIsChapter = 0x2000, adFldNegativeScale = 0x4000,
    adFldKeyColumn = 0x8000,
};

enum PropertyAttributesEnum {
    adPropNotSupported = 0, adPropRequired = 1, adPropOptional = 2, adPropRead = 512,
    adPropWrite = 1024,
};

enum EventStatusEnum {
    adStatusOK = 1, adStatusErrorsOccurred = 2, adStatusCantDeny = 3, adStatusCancel = 4,
    adStatusUnwantedEvent = 5,
};

enum PersistFormatEnum { adPersistADTG = 0, adPersistXML = 1 };

enum SchemaEnum {
    adSchemaProviderSpecific = -1, adSchemaAsserts = 0, adSchemaCatalogs = 1,
    adSchemaCharacterSets = 2, adSchemaCollations = 3, adSchemaColumns = 4,
    adSchemaCheckConstraints = 5, adSchemaConstraintColumnUsage = 6,
    adSchemaConstraintTableUsage = 7, adSchemaKeyColumnUsage = 8,
    adSchemaReferentialConstraints = 9, adSchemaTableConstraints = 10,
    adSchemaColumnsDomainUsage = 11, adSchemaIndexes = 12, adSchemaColumnPrivileges = 13,
    adSchemaTablePrivileges = 14, adSchemaUsagePrivileges = 15, adSchemaProcedures = 16,
    adSchemaSchemata = 17, adSchemaSQLLanguages = 18, adSchemaStatistics = 19,
    adSchemaTables = 20, adSchemaTranslations = 21, adSchemaProviderTypes = 22,
    adSchemaViews = 23, adSchemaViewColumnUsage = 24, adSchemaViewTableUsage = 25,
    adSchemaProcedureParameters = 26, adSchemaForeignKeys = 27, adSchemaPrimaryKeys = 28,
    adSchemaProcedureColumns = 29, adSchemaDBInfoKeywords = 30, adSchemaDBInfoLiterals = 31,
};

// The layer's own error numbers; the HRESULT is MakeControlHResult(number).
enum ErrorValueEnum {
    adErrInvalidArgument = 3001, adErrOpeningFile = 3002, adErrReadFile = 3003,
    adErrWriteFile = 3004, adErrNoCurrentRecord = 3021, adErrIllegalOperation = 3219,
    adErrFeatureNotAvailable = 3251, adErrItemNotFound = 3265, adErrObjectInCollection = 3367,
    adErrObjectNotSet = 3420, adErrDataConversion = 3421, adErrObjectClosed = 3704,
    adErrObjectOpen = 3705, adErrProviderNotFound = 3706, adErrBoundToCommand = 3707,
    adErrInvalidParamInfo = 3708, adErrInvalidConnection = 3709, adErrNotReentrant = 3710,
    adErrStillExecuting = 3711, adErrOperationCancelled = 3712, adErrStillConnecting = 3713,
    adErrNotExecuting = 3715, adErrUnsafeOperation = 3716,
};

} // namespace ado
