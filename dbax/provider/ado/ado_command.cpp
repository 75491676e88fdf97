#include "dbax/provider/ado/ado_command.h"

#include <optional>
#include <string>

#include "dbax/provider/ado.h"
#include "dbax/provider/ado/ado_failure.h"
#include "dbax/provider/ado/ado_values.h"
#include "win32/com_ptr.h"

namespace dbAx::provider::adodb {
namespace {

using mirdane::win32::Bstr;
using mirdane::win32::ComPtr;
using mirdane::win32::UniqueVariant;

// A SAFEARRAY of VARIANTs destroyed when it goes.
class ParameterArray {
 public:
  explicit ParameterArray(ULONG count) : array_(::SafeArrayCreateVector(VT_VARIANT, 0, count)) {}
  ~ParameterArray() {
    if (array_) ::SafeArrayDestroy(array_);
  }
  ParameterArray(const ParameterArray&) = delete;
  ParameterArray& operator=(const ParameterArray&) = delete;

  SAFEARRAY* get() const { return array_; }

 private:
  SAFEARRAY* array_;
};

// DB2 for i names a missing table or library SQL0204.
bool NamesMissingTable(const Failure& failure) {
  if (failure.result == ado::DB_E_NOTABLE) return true;
  for (const auto& error : failure.errors) {
    if (error.description.find(u"SQL0204") != std::u16string::npos) return true;
  }
  return false;
}

bool ReadRows(AdoConnection* connection, AdoRecordset* recordset, std::size_t columns,
              StatementResult* result, Failure* failure) {
  ComPtr<AdoFields> fields;
  for (;;) {
    VARIANT_BOOL eof = VARIANT_TRUE;
    HRESULT hr = recordset->get_EOF(&eof);
    if (FAILED(hr)) {
      *failure = FailureOf(hr, connection, recordset, kRecordsetInterface, u"Recordset.EOF",
                           u"The rows of a query could not be read");
      return false;
    }
    if (eof != VARIANT_FALSE) return true;
    if (!fields) {
      hr = recordset->get_Fields(fields.put());
      if (FAILED(hr) || !fields) {
        *failure = FailureOf(FAILED(hr) ? hr : E_POINTER, connection, recordset,
                             kRecordsetInterface, u"Recordset.Fields",
                             u"The columns of a query could not be read");
        return false;
      }
    }
    auto& row = result->rows.emplace_back();
    for (std::size_t i = 0; i < columns; ++i) {
      VARIANT index;
      ::VariantInit(&index);
      index.vt = VT_I4;
      index.lVal = static_cast<LONG>(i);
      ComPtr<AdoField> field;
      UniqueVariant value;
      hr = fields->get_Item(index, field.put());
      if (SUCCEEDED(hr) && field) hr = field->get_Value(value.put());
      if (SUCCEEDED(hr) && value.get()->vt != VT_NULL && value.get()->vt != VT_EMPTY) {
        hr = ::VariantChangeType(value.get(), value.get(), 0, VT_BSTR);
      }
      if (FAILED(hr)) {
        *failure = FailureOf(hr, connection, field.get(), kFieldInterface, u"Field.Value",
                             u"A value of a query could not be read");
        return false;
      }
      if (value.get()->vt == VT_BSTR) row.emplace_back(Bstr::ToText(value.get()->bstrVal));
      else row.emplace_back(std::nullopt);
    }
    hr = recordset->MoveNext();
    if (FAILED(hr)) {
      *failure = FailureOf(hr, connection, recordset, kRecordsetInterface, u"Recordset.MoveNext",
                           u"The rows of a query could not be read");
      return false;
    }
  }
}

}  // namespace

bool RunAdoStatement(AdoConnection* connection, const KeyedStatement& statement,
                     const std::vector<mirdane::Variant>& parameters, StatementResult* result,
                     Failure* failure) {
  const auto quote = [](const std::u16string& name) {
    return QuoteSqlIdentifier(name, IdentifierCase::Upper);
  };
  const std::u16string table = quote(statement.library) + u"." + quote(statement.table);
  const std::u16string text = statement.Text(table, quote);

  ComPtr<AdoCommand> command;
  HRESULT hr = ::CoCreateInstance(kCommandClass, nullptr, CLSCTX_INPROC_SERVER, kCommandInterface,
                                  command.put_void());
  if (FAILED(hr) || !command) {
    const HRESULT why = FAILED(hr) ? hr : E_POINTER;
    *failure = Failure::Of(why, why, u"Microsoft ADO's Command object could not be created.");
    return false;
  }
  Bstr command_text(text);
  if (!command_text.ok()) {
    *failure = Failure::Of(E_OUTOFMEMORY, E_OUTOFMEMORY, u"Out of memory.");
    return false;
  }
  hr = command->putref_ActiveConnection(connection);
  if (SUCCEEDED(hr)) hr = command->put_CommandText(command_text.get());
  if (SUCCEEDED(hr)) hr = command->put_CommandType(ado::adCmdText);
  if (FAILED(hr)) {
    *failure = FailureOf(hr, connection, command.get(), kCommandInterface, u"Command",
                         u"The command " + text + u" could not be prepared");
    return false;
  }

  ParameterArray values(static_cast<ULONG>(parameters.size()));
  if (!values.get()) {
    *failure = Failure::Of(E_OUTOFMEMORY, E_OUTOFMEMORY, u"Out of memory.");
    return false;
  }
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    UniqueVariant value;
    hr = ToVariant(parameters[i], value.put());
    LONG at = static_cast<LONG>(i);
    if (SUCCEEDED(hr)) hr = ::SafeArrayPutElement(values.get(), &at, value.get());  // copies
    if (FAILED(hr)) {
      *failure = Failure::Of(hr, hr, u"A parameter of " + text + u" cannot be passed to ADO.");
      return false;
    }
  }
  VARIANT array;
  ::VariantInit(&array);
  array.vt = VT_ARRAY | VT_VARIANT;
  array.parray = values.get();  // still owned by `values`

  const bool query = statement.kind == KeyedStatement::Kind::Select;
  UniqueVariant affected;
  ComPtr<AdoRecordset> rows;
  hr = command->Execute(affected.get(), &array,
                        ado::adCmdText | (query ? 0 : ado::adExecuteNoRecords), rows.put());
  if (FAILED(hr)) {
    *failure = FailureOf(hr, connection, command.get(), kCommandInterface, u"Command.Execute",
                         u"The command " + text + u" failed");
    if (NamesMissingTable(*failure)) failure->result = ado::DB_E_NOTABLE;
    return false;
  }
  if (!query) {
    if (SUCCEEDED(::VariantChangeType(affected.get(), affected.get(), 0, VT_I4))) {
      result->affected = affected.get()->lVal > 0 ? affected.get()->lVal : 0;
    }
    return true;
  }
  if (!rows) {
    *failure = Failure::Of(E_POINTER, E_POINTER, u"ADO gave no rows for the query " + text + u".");
    return false;
  }
  result->columns = statement.columns;
  const bool read = ReadRows(connection, rows.get(), statement.columns.size(), result, failure);
  rows->Close();  // unchecked: the rows are read, or their failure is reported
  return read;
}

}  // namespace dbAx::provider::adodb
