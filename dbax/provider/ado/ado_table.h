// A bridge table opened through an ADO Recordset, taking new rows.
#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dbax/provider/ado/ado_interfaces.h"
#include "dbax/provider/backend.h"
#include "win32/com_ptr.h"

namespace dbAx::provider::adodb {

class AdoTable final : public InsertTarget {
 public:
  // `recordset` is open on `table` (LIBRARY.TABLE) through `connection`; the
  // table closes it when it goes.
  AdoTable(mirdane::win32::ComPtr<AdoConnection> connection,
           mirdane::win32::ComPtr<AdoRecordset> recordset, std::u16string table);
  ~AdoTable() override;
  AdoTable(const AdoTable&) = delete;
  AdoTable& operator=(const AdoTable&) = delete;

  // Reads the columns from the recordset's Fields (which ADO also needs read
  // before its first AddNew) and asks whether the recordset takes new rows.
  bool Describe(Failure* failure);

  const std::vector<ColumnInfo>& columns() const override { return columns_; }
  // Puts the value into ADO's pending row, so that the provider converts it
  // (or refuses it) at once, as it would for the connector on Windows.
  bool AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                   Failure* failure) override;
  // Stores exactly `values`: the pending row as it is when it holds just
  // those columns, else a fresh row with them.
  bool InsertRow(const RowValues& values, Failure* failure) override;

 private:
  bool DescribeColumn(std::size_t index, Failure* failure);
  bool StartRow(Failure* failure);
  bool Put(std::size_t index, const Variant& value, Failure* failure);
  Failure FailureOf(HRESULT result, IUnknown* object, REFIID iid, const char16_t* call,
                    const std::u16string& what) const;

  mirdane::win32::ComPtr<AdoConnection> connection_;
  mirdane::win32::ComPtr<AdoRecordset> recordset_;
  std::u16string table_;
  std::vector<mirdane::win32::ComPtr<AdoField>> fields_;
  std::vector<ColumnInfo> columns_;
  // ADO's pending row, as far as this object knows it: ADO's own EditMode is
  // not to be relied on (Wine's answers "none" after AddNew).
  bool row_pending_ = false;
  // True while the pending row holds exactly the values put into the columns
  // of `put_columns_`; a failed put leaves the column in doubt.
  bool row_exact_ = false;
  std::set<std::size_t> put_columns_;
};

}  // namespace dbAx::provider::adodb
