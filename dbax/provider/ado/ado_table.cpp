#include "dbax/provider/ado/ado_table.h"

#include <string>
#include <utility>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/ado/ado_failure.h"
#include "dbax/provider/ado/ado_values.h"

namespace dbAx::provider::adodb {
namespace {

using mirdane::win32::Bstr;
using mirdane::win32::ComPtr;
using mirdane::win32::UniqueVariant;

// A column by its name, or by its position (from 1) before the name is known.
std::u16string ColumnLabel(std::size_t index, const std::u16string& name) {
  if (!name.empty()) return name;
  return u"#" + mirdane::Utf8ToUtf16(std::to_string(index + 1));
}

VARIANT Ordinal(std::size_t index) {
  VARIANT ordinal;
  ::VariantInit(&ordinal);
  ordinal.vt = VT_I4;
  ordinal.lVal = static_cast<LONG>(index);
  return ordinal;
}

}  // namespace

AdoTable::AdoTable(ComPtr<AdoConnection> connection, ComPtr<AdoRecordset> recordset,
                   std::u16string table)
    : connection_(std::move(connection)), recordset_(std::move(recordset)),
      table_(std::move(table)) {}

AdoTable::~AdoTable() {
  // Nothing can be reported from here; a row never stored is dropped.
  if (row_pending_) recordset_->CancelUpdate();  // unchecked
  AdoLong state = ado::adStateClosed;
  if (SUCCEEDED(recordset_->get_State(&state)) && state != ado::adStateClosed) {
    recordset_->Close();  // unchecked
  }
}

Failure AdoTable::FailureOf(HRESULT result, IUnknown* object, REFIID iid, const char16_t* call,
                            const std::u16string& what) const {
  return adodb::FailureOf(result, connection_.get(), object, iid, call, what);
}

bool AdoTable::Describe(Failure* failure) {
  ComPtr<AdoFields> fields;
  HRESULT result = recordset_->get_Fields(fields.put());
  if (FAILED(result) || !fields) {
    *failure = FailureOf(FAILED(result) ? result : E_POINTER, recordset_.get(),
                         kRecordsetInterface, u"Recordset.Fields",
                         u"The columns of " + table_ + u" could not be read");
    return false;
  }
  AdoLong count = 0;
  result = fields->get_Count(&count);
  if (FAILED(result)) {
    *failure = FailureOf(result, fields.get(), kFieldsInterface, u"Fields.Count",
                         u"The columns of " + table_ + u" could not be counted");
    return false;
  }
  if (count <= 0) {
    *failure = Failure::Of(E_FAIL, E_FAIL, u"The source of " + table_ + u" gives no columns.");
    return false;
  }
  const auto columns = static_cast<std::size_t>(count);
  fields_.resize(columns);
  columns_.resize(columns);
  for (std::size_t i = 0; i < columns; ++i) {
    result = fields->get_Item(Ordinal(i), fields_[i].put());
    if (FAILED(result) || !fields_[i]) {
      *failure = FailureOf(FAILED(result) ? result : E_POINTER, fields.get(), kFieldsInterface,
                           u"Fields.Item",
                           u"Column " + ColumnLabel(i, {}) + u" of " + table_ +
                               u" could not be read");
      return false;
    }
    if (!DescribeColumn(i, failure)) return false;
  }

  // A recordset that cannot add or store rows must say so now: the row would
  // otherwise be dropped without a word. A provider that cannot answer the
  // question (Wine's ADO) is given the benefit of the doubt.
  for (const AdoLong option : {ado::adAddNew, ado::adUpdate}) {
    VARIANT_BOOL supported = VARIANT_FALSE;
    if (SUCCEEDED(recordset_->Supports(option, &supported)) && supported == VARIANT_FALSE) {
      *failure = Failure::Of(
          E_FAIL, E_FAIL,
          table_ + u" does not take new rows through this connection (the ADO recordset supports "
                   u"no " + (option == ado::adAddNew ? u"AddNew" : u"Update") + u").");
      return false;
    }
  }
  return true;
}

bool AdoTable::DescribeColumn(std::size_t index, Failure* failure) {
  AdoField* field = fields_[index].get();
  ColumnInfo& column = columns_[index];
  const auto fail = [&](HRESULT result, const char16_t* call, const char16_t* property) {
    *failure = FailureOf(result, field, kFieldInterface, call,
                         u"The " + std::u16string(property) + u" of column " +
                             ColumnLabel(index, column.name) + u" of " + table_ +
                             u" could not be read");
    return false;
  };
  Bstr name;
  HRESULT result = field->get_Name(name.put());
  if (FAILED(result)) return fail(result, u"Field.Name", u"name");
  column.name = name.Text();
  AdoLong value = 0;
  result = field->get_Type(&value);
  if (FAILED(result)) return fail(result, u"Field.Type", u"type");
  column.type = value;
  result = field->get_Attributes(&value);
  if (FAILED(result)) return fail(result, u"Field.Attributes", u"attributes");
  column.attributes = value;
  // Precision, scale and size stay 0 when ADO cannot tell them: Wine's ADO
  // answers E_NOTIMPL for the precision. Only a decimal column's precision
  // matters to the connector, and 0 there makes its digit check refuse every
  // value loudly rather than let one through unchecked.
  BYTE digits = 0;
  if (SUCCEEDED(field->get_Precision(&digits))) column.precision = digits;
  digits = 0;
  if (SUCCEEDED(field->get_NumericScale(&digits))) column.scale = digits;
  AdoLongPtr size = 0;
  if (SUCCEEDED(field->get_DefinedSize(&size))) {
    column.defined_size = static_cast<std::int32_t>(size);
  }
  return true;
}

bool AdoTable::StartRow(Failure* failure) {
  if (row_pending_) {
    const HRESULT result = recordset_->CancelUpdate();
    if (FAILED(result)) {
      // Values of the abandoned row could end up in the next one.
      *failure = FailureOf(result, recordset_.get(), kRecordsetInterface, u"Recordset.CancelUpdate",
                           u"The unfinished row of " + table_ + u" could not be discarded");
      return false;
    }
    row_pending_ = false;
  }
  const HRESULT result = recordset_->AddNew(MissingArgument(), MissingArgument());
  if (FAILED(result)) {
    *failure = FailureOf(result, recordset_.get(), kRecordsetInterface, u"Recordset.AddNew",
                         u"No new row could be started in " + table_);
    return false;
  }
  row_pending_ = true;
  row_exact_ = true;
  put_columns_.clear();
  return true;
}

bool AdoTable::Put(std::size_t index, const Variant& value, Failure* failure) {
  const std::u16string& name = columns_[index].name;
  UniqueVariant converted;
  HRESULT result = ToVariant(value, converted.put());
  if (FAILED(result)) {
    *failure = Failure::Of(ado::DB_E_ERRORSOCCURRED, ado::DB_E_ERRORSOCCURRED,
                           u"Column " + name + u" takes text, numbers or NULL; this value is "
                           u"none of them.");
    if (result == E_OUTOFMEMORY) *failure = Failure::Of(result, result, u"Out of memory.");
    return false;
  }
  result = fields_[index]->put_Value(*converted.get());
  if (FAILED(result)) {
    row_exact_ = false;
    *failure = FailureOf(result, fields_[index].get(), kFieldInterface, u"Field.Value",
                         u"Column " + name + u" of " + table_ + u" refused the value");
    return false;
  }
  put_columns_.insert(index);
  return true;
}

bool AdoTable::AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                           Failure* failure) {
  if (index >= columns_.size()) {
    *failure = Failure::Of(E_INVALIDARG, E_INVALIDARG, u"No such column in " + table_ + u".");
    return false;
  }
  if (!row_pending_ && !StartRow(failure)) return false;
  if (!Put(index, value, failure)) return false;
  *stored = value;
  return true;
}

bool AdoTable::InsertRow(const RowValues& values, Failure* failure) {
  std::set<std::size_t> wanted;
  for (const auto& [index, value] : values) {
    if (index >= columns_.size()) {
      *failure = Failure::Of(E_INVALIDARG, E_INVALIDARG, u"No such column in " + table_ + u".");
      return false;
    }
    wanted.insert(index);
  }
  // The pending row holds what was put since AddNew. When a row was given up
  // half-way (a refused value, a cancelled row), it is rebuilt from `values`.
  if (!row_pending_ || !row_exact_ || put_columns_ != wanted) {
    if (!StartRow(failure)) return false;
    for (const auto& [index, value] : values) {
      if (!Put(index, value, failure)) return false;
    }
  }
  const HRESULT result = recordset_->Update(MissingArgument(), MissingArgument());
  if (FAILED(result)) {
    // As with ADO itself, the row stays pending.
    *failure = FailureOf(result, recordset_.get(), kRecordsetInterface, u"Recordset.Update",
                         u"The row could not be stored in " + table_);
    return false;
  }
  row_pending_ = false;
  put_columns_.clear();
  return true;
}

}  // namespace dbAx::provider::adodb
