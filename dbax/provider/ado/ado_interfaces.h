// Microsoft ADO's COM interfaces, as far as the ADO backend calls them.
//
// The layout is ADO's published one (type library ADODB 2.x): every slot up to
// the last method we call is declared in order, because a call goes through
// the slot's position in the vtable, not its name. Slots that we never call
// are declared as `unused_...` without arguments: they only hold their place.
// The Wine test suite compares each called method's slot, kind and parameter
// types with the type library that the platform ships.
//
// mingw's own <adoint.h> does not compile as C++, hence this header.
#pragma once

#include <oaidl.h>
#include <objbase.h>

namespace dbAx::provider::adodb {

// Class ids of the objects created in-process.
inline constexpr CLSID kConnectionClass = {
    0x00000514, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr CLSID kRecordsetClass = {
    0x00000535, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr CLSID kCommandClass = {
    0x00000507, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

// Interface ids: _Connection, Recordset15, Command15, Fields, Field, Errors, Error.
inline constexpr IID kConnectionInterface = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID kRecordsetInterface = {
    0x0000050E, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID kCommandInterface = {
    0x00000508, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID kFieldsInterface = {
    0x00000564, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID kFieldInterface = {
    0x00000569, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID kErrorsInterface = {
    0x00000501, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID kErrorInterface = {
    0x00000500, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

// Every method answers the platform's HRESULT, spelt ::HRESULT because the
// provider's namespace has an HRESULT of its own (a 32-bit integer as well).
// ADO's enumerations travel as 4-byte integers; "ADO_LONGPTR" is pointer-sized.
using AdoLong = LONG;
using AdoLongPtr = LONG_PTR;

// _ADO: the base of ADO's objects.
struct AdoObject : IDispatch {
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Properties() = 0;
};

// _Collection: the base of ADO's collections.
struct AdoCollection : IDispatch {
  virtual ::HRESULT STDMETHODCALLTYPE get_Count(AdoLong* count) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused__NewEnum() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_Refresh() = 0;
};

// Error: one entry of a connection's Errors.
struct AdoError : IDispatch {
  virtual ::HRESULT STDMETHODCALLTYPE get_Number(AdoLong* number) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Source() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) = 0;
};

// Errors: the provider's errors of the latest failing operation.
struct AdoErrors : AdoCollection {
  virtual ::HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoError** error) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Clear() = 0;
};

// Field: one column of a recordset (the Field20 slots).
struct AdoField : AdoObject {
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_ActualSize() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Attributes(AdoLong* attributes) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_DefinedSize(AdoLongPtr* size) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Type(AdoLong* type) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Precision(BYTE* precision) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_NumericScale(BYTE* scale) = 0;
};

// Fields: the columns of an open recordset (the Fields15 slots).
struct AdoFields : AdoCollection {
  // `index` is the column's name or its ordinal.
  virtual ::HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoField** field) = 0;
};

// _Connection (Connection15's slots and Cancel).
struct AdoConnection : AdoObject {
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_ConnectionString() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_ConnectionString() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CommandTimeout() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_CommandTimeout() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_ConnectionTimeout() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_ConnectionTimeout() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Version() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_Execute() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_BeginTrans() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_CommitTrans() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_RollbackTrans() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Open(BSTR connection_string, BSTR user, BSTR password,
                                         AdoLong options) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Errors(AdoErrors** errors) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_DefaultDatabase() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_DefaultDatabase() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_IsolationLevel() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_IsolationLevel() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Attributes() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Attributes() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CursorLocation() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_CursorLocation(AdoLong location) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Mode() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Mode() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Provider() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Provider() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_State(AdoLong* state) = 0;
};

// Recordset15: the recordset interface id the objects are created with.
struct AdoRecordset : AdoObject {
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_AbsolutePosition() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_AbsolutePosition() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_putref_ActiveConnection() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_ActiveConnection() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_ActiveConnection() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_BOF() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Bookmark() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Bookmark() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CacheSize() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_CacheSize(AdoLong size) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CursorType() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_CursorType() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* eof) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_Fields(AdoFields** fields) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_LockType() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_LockType() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_MaxRecords() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_MaxRecords() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_RecordCount() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_putref_Source() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Source() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Source() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE AddNew(VARIANT field_list, VARIANT values) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE CancelUpdate() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_Delete() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_GetRows() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_Move() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE MoveNext() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_MovePrevious() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_MoveFirst() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_MoveLast() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Open(VARIANT source, VARIANT active_connection,
                                         AdoLong cursor_type, AdoLong lock_type,
                                         AdoLong options) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_Requery() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused__xResync() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Update(VARIANT fields, VARIANT values) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_AbsolutePage() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_AbsolutePage() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_EditMode() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Filter() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Filter() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_PageCount() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_PageSize() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_PageSize() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Sort() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Sort() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Status() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE get_State(AdoLong* state) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused__xClone() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_UpdateBatch() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_CancelBatch() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CursorLocation() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_CursorLocation(AdoLong location) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_NextRecordset() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE Supports(AdoLong options, VARIANT_BOOL* supported) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Collect() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Collect() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_MarshalOptions() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_MarshalOptions(AdoLong options) = 0;
};

// Command15: a statement with parameters, run on a connection.
struct AdoCommand : AdoObject {
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_ActiveConnection() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE putref_ActiveConnection(AdoConnection* connection) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_ActiveConnection() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CommandText() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_CommandText(BSTR text) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_CommandTimeout() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_CommandTimeout() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Prepared() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_put_Prepared() = 0;
  // `parameters` is a VT_ARRAY | VT_VARIANT of the values for the ? markers.
  virtual ::HRESULT STDMETHODCALLTYPE Execute(VARIANT* records_affected, VARIANT* parameters,
                                            AdoLong options, AdoRecordset** recordset) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_CreateParameter() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE unused_get_Parameters() = 0;
  virtual ::HRESULT STDMETHODCALLTYPE put_CommandType(AdoLong type) = 0;
};

}  // namespace dbAx::provider::adodb
