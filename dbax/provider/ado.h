// The ADO-shaped provider interface: the only door of the data-access layer
// to a database.
//
// It has exactly the calls, arguments and results that the layer makes of
// Microsoft ActiveX Data Objects, so that on Windows ADO itself can stand
// behind it and elsewhere a backend of ours can. Every call answers with an
// HRESULT; a negative one is a failure, and whatever the provider has to say
// about it is in the connection's Errors collection.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/hresult.h"
#include "base/object.h"
#include "base/variant.h"

namespace dbAx::provider {

using mirdane::HRESULT;
using mirdane::Variant;

// ADO's enumeration values, by the names ADO gives them.
namespace ado {
inline constexpr std::int32_t adUseServer = 2;
inline constexpr std::int32_t adUseClient = 3;
inline constexpr std::int32_t adStateClosed = 0;
inline constexpr std::int32_t adStateOpen = 1;
inline constexpr std::int32_t adOpenForwardOnly = 0;
inline constexpr std::int32_t adLockReadOnly = 1;
inline constexpr std::int32_t adLockOptimistic = 3;
inline constexpr std::int32_t adOptionUnspecified = -1;
inline constexpr std::int32_t adMarshalModifiedOnly = 1;
inline constexpr std::int32_t adAddNew = 0x1000400;
inline constexpr std::int32_t adUpdate = 0x1008000;
inline constexpr std::int32_t adResync = 0x20000;
inline constexpr std::int32_t adEditNone = 0;
inline constexpr std::int32_t adEditInProgress = 1;
inline constexpr std::int32_t adEditAdd = 2;
inline constexpr std::int32_t adAffectCurrent = 1;
inline constexpr std::int32_t adResyncUnderlyingValues = 1;
inline constexpr std::int32_t adResyncAllValues = 2;
inline constexpr std::int32_t adFldUpdatable = 0x4;
inline constexpr std::int32_t adFldUnknownUpdatable = 0x8;
inline constexpr std::int32_t adFldFixed = 0x10;
inline constexpr std::int32_t adFldIsNullable = 0x20;

// Field types.
inline constexpr std::int32_t adSmallInt = 2;
inline constexpr std::int32_t adInteger = 3;
inline constexpr std::int32_t adSingle = 4;
inline constexpr std::int32_t adDouble = 5;
inline constexpr std::int32_t adDecimal = 14;
inline constexpr std::int32_t adBigInt = 20;
inline constexpr std::int32_t adChar = 129;
inline constexpr std::int32_t adWChar = 130;
inline constexpr std::int32_t adNumeric = 131;
inline constexpr std::int32_t adDBDate = 133;
inline constexpr std::int32_t adDBTime = 134;
inline constexpr std::int32_t adDBTimeStamp = 135;
inline constexpr std::int32_t adVarChar = 200;
inline constexpr std::int32_t adVarWChar = 202;
inline constexpr std::int32_t adVarBinary = 204;

// HRESULTs that ADO and OLE DB providers answer with.
inline constexpr HRESULT adErrNoCurrentRecord = mirdane::hr::FromBits(0x800A0BCD);
inline constexpr HRESULT adErrInvalidArgument = mirdane::hr::FromBits(0x800A0BB9);
inline constexpr HRESULT adErrIllegalOperation = mirdane::hr::FromBits(0x800A0C93);
inline constexpr HRESULT adErrItemNotFound = mirdane::hr::FromBits(0x800A0CC1);
inline constexpr HRESULT adErrFeatureNotAvailable = mirdane::hr::FromBits(0x800A0CB3);
inline constexpr HRESULT adErrObjectClosed = mirdane::hr::FromBits(0x800A0E78);
inline constexpr HRESULT adErrObjectOpen = mirdane::hr::FromBits(0x800A0E79);
inline constexpr HRESULT adErrProviderNotFound = mirdane::hr::FromBits(0x800A0E7A);
inline constexpr HRESULT DB_E_ERRORSOCCURRED = mirdane::hr::FromBits(0x80040E21);
// A row refused because it breaks a constraint, such as a duplicate key.
inline constexpr HRESULT DB_E_INTEGRITYVIOLATION = mirdane::hr::FromBits(0x80040E2F);
// The table a command names does not exist.
inline constexpr HRESULT DB_E_NOTABLE = mirdane::hr::FromBits(0x80040E37);

// ADO's own descriptions of adErrObjectClosed, adErrObjectOpen and adErrNoCurrentRecord,
// which callers may show as they stand.
inline constexpr char16_t kObjectClosedText[] =
    u"Operation is not allowed when the object is closed.";
inline constexpr char16_t kObjectOpenText[] = u"Operation is not allowed when the object is open.";
inline constexpr char16_t kNoCurrentRecordText[] =
    u"Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    u"requires a current record.";

// CommandTypeEnum and ExecuteOptionEnum.
inline constexpr std::int32_t adCmdText = 1;
inline constexpr std::int32_t adExecuteNoRecords = 0x80;
}  // namespace ado

class Error : public mirdane::Object {
 public:
  virtual HRESULT get_Number(std::int32_t* number) = 0;
  virtual HRESULT get_Description(std::u16string* description) = 0;
};

class Errors : public mirdane::Object {
 public:
  virtual HRESULT get_Count(std::int32_t* count) = 0;
  // `index` is a VT_I4 variant counted from 0.
  virtual HRESULT get_Item(const Variant& index, std::shared_ptr<Error>* error) = 0;
  virtual HRESULT Clear() = 0;
};

class Field : public mirdane::Object {
 public:
  virtual HRESULT get_Attributes(std::int32_t* attributes) = 0;
  virtual HRESULT get_Type(std::int32_t* type) = 0;
  virtual HRESULT get_Precision(std::uint8_t* precision) = 0;
  virtual HRESULT get_NumericScale(std::uint8_t* scale) = 0;
  virtual HRESULT put_Value(const Variant& value) = 0;
  virtual HRESULT get_Value(Variant* value) = 0;
};

class Fields : public mirdane::Object {
 public:
  // `index` holds the column name.
  virtual HRESULT get_Item(const Variant& index, std::shared_ptr<Field>* field) = 0;
};

class Connection : public mirdane::Object {
 public:
  virtual HRESULT put_CursorLocation(std::int32_t location) = 0;
  virtual HRESULT get_CursorLocation(std::int32_t* location) = 0;
  virtual HRESULT Open(const std::u16string& connection_string, const std::u16string& user,
                       const std::u16string& password, std::int32_t options) = 0;
  virtual HRESULT get_State(std::int32_t* state) = 0;
  virtual HRESULT Close() = 0;
  virtual HRESULT get_Errors(std::shared_ptr<Errors>* errors) = 0;
};

class Recordset : public mirdane::Object {
 public:
  virtual HRESULT put_Source(const std::u16string& source) = 0;
  virtual HRESULT putref_ActiveConnection(const std::shared_ptr<Connection>& connection) = 0;
  // `source` is a VT_BSTR, `active_connection` a VT_DISPATCH of the Connection.
  virtual HRESULT Open(const Variant& source, const Variant& active_connection,
                       std::int32_t cursor_type, std::int32_t lock_type, std::int32_t options) = 0;
  virtual HRESULT get_Fields(std::shared_ptr<Fields>* fields) = 0;
  virtual HRESULT put_CursorType(std::int32_t value) = 0;
  virtual HRESULT get_CursorType(std::int32_t* value) = 0;
  virtual HRESULT put_CacheSize(std::int32_t value) = 0;
  virtual HRESULT get_CacheSize(std::int32_t* value) = 0;
  virtual HRESULT put_CursorLocation(std::int32_t value) = 0;
  virtual HRESULT get_CursorLocation(std::int32_t* value) = 0;
  virtual HRESULT put_MarshalOptions(std::int32_t value) = 0;
  virtual HRESULT get_MarshalOptions(std::int32_t* value) = 0;
  virtual HRESULT Supports(std::int32_t options, bool* supported) = 0;
  virtual HRESULT AddNew(const Variant& field_list, const Variant& values) = 0;
  virtual HRESULT Update(const Variant& fields, const Variant& values) = 0;
  virtual HRESULT get_EditMode(std::int32_t* mode) = 0;
  virtual HRESULT CancelUpdate() = 0;
  virtual HRESULT Resync(std::int32_t affect_records, std::int32_t resync_values) = 0;
  virtual HRESULT get_State(std::int32_t* state) = 0;
  virtual HRESULT get_BOF(bool* bof) = 0;
  virtual HRESULT get_EOF(bool* eof) = 0;
  virtual HRESULT MoveFirst() = 0;
  virtual HRESULT MoveNext() = 0;
  virtual HRESULT Close() = 0;
};

// Not ADO's: a recordset that can send its new rows to the database together.
// Between BeginRowBatch and SendRowBatch, Update keeps the pending row instead
// of storing it; SendRowBatch stores every row kept, or none of them.
class RowBatch {
 public:
  virtual ~RowBatch() = default;
  // Starts keeping rows; false (and nothing changes) where rows cannot be
  // sent together.
  virtual bool BeginRowBatch() = 0;
  // Sends the rows kept and goes back to storing rows one by one. S_OK with
  // `stored` true: every row is stored. S_OK with `stored` false: none is
  // stored (some row was refused, or the database could not say which), and
  // the rows may be stored one by one. A failing HRESULT: what is stored is
  // not known; the Errors collection says why.
  virtual HRESULT SendRowBatch(bool* stored) = 0;
  // Forgets the rows kept and goes back to storing rows one by one.
  virtual void EndRowBatch() = 0;
};

class Command : public mirdane::Object {
 public:
  virtual HRESULT putref_ActiveConnection(const std::shared_ptr<Connection>& connection) = 0;
  virtual HRESULT put_CommandText(const std::u16string& text) = 0;
  // Runs the command text with `parameters` for its ? markers, in order (ADO
  // passes them as a variant array). `records_affected` receives the rows an
  // UPDATE or DELETE changed; a query's rows come back in `recordset`,
  // forward-only and read-only, on its first row. `options` are
  // ado::adCmdText, with ado::adExecuteNoRecords when no rows are wanted.
  virtual HRESULT Execute(std::int32_t* records_affected, const std::vector<Variant>& parameters,
                          std::int32_t options, std::shared_ptr<Recordset>* recordset) = 0;
};

// Creating the objects, where ADO's users call CoCreateInstance with the
// Connection and Recordset classes.
HRESULT CreateConnection(std::shared_ptr<Connection>* connection);
HRESULT CreateRecordset(std::shared_ptr<Recordset>* recordset);
HRESULT CreateCommand(std::shared_ptr<Command>* command);

}  // namespace dbAx::provider
