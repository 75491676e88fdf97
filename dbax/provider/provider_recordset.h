// The provider's Recordset object and its Fields.
//
// A recordset opens a source query that names one table and inserts rows into
// it: AddNew starts a pending row, field values are taken as the backend's
// database would take them, Update stores the row. It fetches no rows; the
// connector never reads any.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "dbax/provider/ado.h"
#include "dbax/provider/provider_connection.h"

namespace dbAx::provider {

// The state of an open recordset, shared with its Field objects.
struct RowBuffer {
  std::shared_ptr<ConnectionCore> connection;
  std::unique_ptr<InsertTarget> target;
  bool open = false;
  std::int32_t edit_mode = ado::adEditNone;
  // A column's value in a row, when the row assigned it. The value's storage
  // stays with the cell from row to row, so that a text that fits in it is
  // not allocated anew for each row.
  struct Cell {
    Variant value;
    bool set = false;
  };
  std::vector<Cell> pending;                 // the new row's assigned values
  std::optional<std::vector<Cell>> current;  // the row stored last
  // The Field objects handed out, made once per column.
  std::vector<std::shared_ptr<Field>> field_objects;
  // The row being stored, referring to the values in `pending`; kept for its
  // storage.
  RowValues storing;
  // Between BeginRowBatch and SendRowBatch: Update hands rows to the backend
  // to keep.
  bool batching = false;

  // The cells of `pending` and of `current` that hold a value: a row assigns
  // a few of a table's many columns, and only those are visited.
  std::vector<std::size_t> assigned;
  std::vector<std::size_t> current_assigned;

  // Marks a column of the pending row as given the value in its cell.
  void MarkAssigned(std::size_t index) {
    auto& cell = pending[index];
    if (!cell.set) {
      cell.set = true;
      assigned.push_back(index);
    }
  }
  // Empties the pending row, keeping its storage.
  void ClearPending() {
    for (const std::size_t index : assigned) pending[index].set = false;
    assigned.clear();
  }
};

class ProviderRecordset final : public Recordset, public RowBatch {
 public:
  ~ProviderRecordset() override;

  HRESULT put_Source(const std::u16string& source) override;
  HRESULT putref_ActiveConnection(const std::shared_ptr<Connection>& connection) override;
  HRESULT Open(const Variant& source, const Variant& active_connection, std::int32_t cursor_type,
               std::int32_t lock_type, std::int32_t options) override;
  HRESULT get_Fields(std::shared_ptr<Fields>* fields) override;
  HRESULT put_CursorType(std::int32_t value) override;
  HRESULT get_CursorType(std::int32_t* value) override;
  HRESULT put_CacheSize(std::int32_t value) override;
  HRESULT get_CacheSize(std::int32_t* value) override;
  HRESULT put_CursorLocation(std::int32_t value) override;
  HRESULT get_CursorLocation(std::int32_t* value) override;
  HRESULT put_MarshalOptions(std::int32_t value) override;
  HRESULT get_MarshalOptions(std::int32_t* value) override;
  HRESULT Supports(std::int32_t options, bool* supported) override;
  HRESULT AddNew(const Variant& field_list, const Variant& values) override;
  HRESULT Update(const Variant& fields, const Variant& values) override;
  HRESULT get_EditMode(std::int32_t* mode) override;
  HRESULT CancelUpdate() override;
  HRESULT Resync(std::int32_t affect_records, std::int32_t resync_values) override;
  HRESULT get_State(std::int32_t* state) override;
  HRESULT get_BOF(bool* bof) override;
  HRESULT get_EOF(bool* eof) override;
  HRESULT MoveFirst() override;
  HRESULT MoveNext() override;
  HRESULT Close() override;

  bool BeginRowBatch() override;
  HRESULT SendRowBatch(bool* stored) override;
  void EndRowBatch() override;

 private:
  bool IsOpen() const { return buffer_ && buffer_->open; }
  // Records a failure with the active connection's errors, when there is one.
  HRESULT Fail(HRESULT result, std::u16string description);
  HRESULT FailClosed();

  std::u16string source_;
  std::shared_ptr<ProviderConnection> connection_;
  std::int32_t cursor_type_ = ado::adOpenForwardOnly;
  std::int32_t lock_type_ = ado::adLockReadOnly;
  std::int32_t cache_size_ = 1;
  std::int32_t cursor_location_ = ado::adUseServer;
  std::int32_t marshal_options_ = 0;
  std::shared_ptr<RowBuffer> buffer_;
  std::shared_ptr<Fields> fields_;
};

}  // namespace dbAx::provider
