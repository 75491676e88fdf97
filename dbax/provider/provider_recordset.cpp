#include "dbax/provider/provider_recordset.h"

#include <algorithm>

#include "base/text.h"

namespace dbAx::provider {

using mirdane::hr::kOk;
using mirdane::hr::kPointer;

namespace {

using ado::kNoCurrentRecordText;
using ado::kObjectClosedText;
using ado::kObjectOpenText;

class ProviderField final : public Field {
 public:
  ProviderField(std::shared_ptr<RowBuffer> buffer, std::size_t index)
      : buffer_(std::move(buffer)), index_(index) {}

  HRESULT get_Attributes(std::int32_t* attributes) override {
    if (!attributes) return kPointer;
    *attributes = info().attributes;
    return kOk;
  }
  HRESULT get_Type(std::int32_t* type) override {
    if (!type) return kPointer;
    *type = info().type;
    return kOk;
  }
  HRESULT get_Precision(std::uint8_t* precision) override {
    if (!precision) return kPointer;
    *precision = info().precision;
    return kOk;
  }
  HRESULT get_NumericScale(std::uint8_t* scale) override {
    if (!scale) return kPointer;
    *scale = info().scale;
    return kOk;
  }

  HRESULT put_Value(const Variant& value) override {
    auto& core = *buffer_->connection;
    if (!buffer_->open) return core.Fail(ado::adErrObjectClosed, kObjectClosedText);
    if ((info().attributes & (ado::adFldUpdatable | ado::adFldUnknownUpdatable)) == 0) {
      return core.Fail(ado::adErrIllegalOperation,
                       u"Column " + info().name + u" cannot be updated.");
    }
    if (buffer_->edit_mode != ado::adEditAdd) {
      // The provider only ever inserts: values belong to a row started by AddNew.
      return core.Fail(ado::adErrIllegalOperation,
                       u"Operation is not allowed in this context: no new row is pending for "
                       u"column " + info().name + u".");
    }
    // The backend writes the cell only when it takes the value, so a refused
    // value leaves the one assigned before.
    Failure failure;
    if (!buffer_->target->AcceptValue(index_, value, &buffer_->pending[index_].value, &failure)) {
      return core.Fail(std::move(failure));
    }
    buffer_->MarkAssigned(index_);
    return kOk;
  }

  HRESULT get_Value(Variant* value) override {
    if (!value) return kPointer;
    auto& core = *buffer_->connection;
    if (!buffer_->open) return core.Fail(ado::adErrObjectClosed, kObjectClosedText);
    const RowBuffer::Cell* cell = nullptr;
    if (buffer_->edit_mode == ado::adEditAdd) cell = &buffer_->pending[index_];
    else if (buffer_->current) cell = &(*buffer_->current)[index_];
    else return core.Fail(ado::adErrNoCurrentRecord, kNoCurrentRecordText);
    *value = cell->set ? cell->value : Variant::Null();
    return kOk;
  }

 private:
  const ColumnInfo& info() const { return buffer_->target->columns()[index_]; }

  std::shared_ptr<RowBuffer> buffer_;
  std::size_t index_;
};

class ProviderFields final : public Fields {
 public:
  explicit ProviderFields(std::shared_ptr<RowBuffer> buffer) : buffer_(std::move(buffer)) {}

  // Fields are found by name, ignoring case as ADO does, or by ordinal. A
  // failed lookup is not a provider error: callers probe for columns.
  HRESULT get_Item(const Variant& index, std::shared_ptr<Field>* field) override {
    if (!field) return kPointer;
    const auto& columns = buffer_->target->columns();
    std::optional<std::size_t> found;
    if (const auto* name = index.AsText()) {
      found = buffer_->target->FindColumn(*name);
    } else if (const auto ordinal = index.AsInteger()) {
      if (*ordinal >= 0 && static_cast<std::size_t>(*ordinal) < columns.size()) {
        found = static_cast<std::size_t>(*ordinal);
      }
    }
    if (!found) return ado::adErrItemNotFound;
    auto& objects = buffer_->field_objects;
    if (objects.size() != columns.size()) objects.resize(columns.size());
    auto& object = objects[*found];
    if (!object) object = std::make_shared<ProviderField>(buffer_, *found);
    *field = object;
    return kOk;
  }

 private:
  std::shared_ptr<RowBuffer> buffer_;
};

}  // namespace

ProviderRecordset::~ProviderRecordset() {
  if (!buffer_) return;
  // Dropped while open: its connection's session is no longer in its use.
  if (buffer_->open) {
    buffer_->open = false;
    --buffer_->connection->open_recordsets;
  }
  buffer_->field_objects.clear();  // each holds the buffer
}

HRESULT ProviderRecordset::Fail(HRESULT result, std::u16string description) {
  if (buffer_) return buffer_->connection->Fail(result, std::move(description));
  if (connection_) return connection_->core()->Fail(result, std::move(description));
  return result;
}

HRESULT ProviderRecordset::FailClosed() { return Fail(ado::adErrObjectClosed, kObjectClosedText); }

HRESULT ProviderRecordset::put_Source(const std::u16string& source) {
  if (IsOpen()) return Fail(ado::adErrObjectOpen, kObjectOpenText);
  source_ = source;
  return kOk;
}

HRESULT ProviderRecordset::putref_ActiveConnection(const std::shared_ptr<Connection>& connection) {
  if (IsOpen()) return Fail(ado::adErrObjectOpen, kObjectOpenText);
  if (!connection) {
    connection_.reset();
    return kOk;
  }
  auto ours = std::dynamic_pointer_cast<ProviderConnection>(connection);
  if (!ours) {
    return Fail(ado::adErrInvalidArgument, u"The connection belongs to another provider.");
  }
  connection_ = std::move(ours);
  return kOk;
}

HRESULT ProviderRecordset::Open(const Variant& source, const Variant& active_connection,
                                std::int32_t cursor_type, std::int32_t lock_type,
                                std::int32_t /*options*/) {
  if (IsOpen()) return Fail(ado::adErrObjectOpen, kObjectOpenText);
  if (const auto* text = source.AsText()) source_ = *text;
  if (const auto& object = active_connection.AsObject()) {
    auto connection = std::dynamic_pointer_cast<Connection>(object);
    const HRESULT result = putref_ActiveConnection(connection);
    if (mirdane::Failed(result)) return result;
  }
  if (!connection_) {
    return ado::adErrInvalidArgument;  // no connection to report to
  }
  const auto& core = connection_->core();
  if (!core->session) {
    return core->Fail(ado::adErrObjectClosed,
                      u"The connection is not open: " + std::u16string(kObjectClosedText));
  }
  if (source_.empty()) {
    return core->Fail(ado::adErrInvalidArgument, u"The recordset has no source statement.");
  }
  if (cursor_type >= 0) cursor_type_ = cursor_type;
  if (lock_type >= 0) lock_type_ = lock_type;

  auto buffer = std::make_shared<RowBuffer>();
  buffer->connection = core;
  Failure failure;
  if (!core->session->OpenSource(source_, &buffer->target, &failure)) {
    return core->Fail(std::move(failure));
  }
  buffer->open = true;
  ++core->open_recordsets;
  buffer->pending.resize(buffer->target->columns().size());
  buffer->storing.reserve(buffer->pending.size());
  buffer_ = std::move(buffer);
  fields_ = std::make_shared<ProviderFields>(buffer_);
  return kOk;
}

HRESULT ProviderRecordset::get_Fields(std::shared_ptr<Fields>* fields) {
  if (!fields) return kPointer;
  if (!IsOpen()) return FailClosed();
  *fields = fields_;
  return kOk;
}

HRESULT ProviderRecordset::put_CursorType(std::int32_t value) {
  if (IsOpen()) return Fail(ado::adErrObjectOpen, kObjectOpenText);
  cursor_type_ = value;
  return kOk;
}

HRESULT ProviderRecordset::get_CursorType(std::int32_t* value) {
  if (!value) return kPointer;
  *value = cursor_type_;
  return kOk;
}

HRESULT ProviderRecordset::put_CacheSize(std::int32_t value) {
  if (value <= 0) {
    return Fail(ado::adErrInvalidArgument, u"The cache size must be greater than zero.");
  }
  cache_size_ = value;
  return kOk;
}

HRESULT ProviderRecordset::get_CacheSize(std::int32_t* value) {
  if (!value) return kPointer;
  *value = cache_size_;
  return kOk;
}

HRESULT ProviderRecordset::put_CursorLocation(std::int32_t value) {
  if (IsOpen()) return Fail(ado::adErrObjectOpen, kObjectOpenText);
  cursor_location_ = value;
  return kOk;
}

HRESULT ProviderRecordset::get_CursorLocation(std::int32_t* value) {
  if (!value) return kPointer;
  *value = cursor_location_;
  return kOk;
}

HRESULT ProviderRecordset::put_MarshalOptions(std::int32_t value) {
  marshal_options_ = value;
  return kOk;
}

HRESULT ProviderRecordset::get_MarshalOptions(std::int32_t* value) {
  if (!value) return kPointer;
  *value = marshal_options_;
  return kOk;
}

HRESULT ProviderRecordset::Supports(std::int32_t options, bool* supported) {
  if (!supported) return kPointer;
  if (!IsOpen()) return FailClosed();
  const bool writable = lock_type_ != ado::adLockReadOnly;
  // Rows are inserted and never read back, so there is nothing to resync.
  if (options == ado::adAddNew || options == ado::adUpdate) *supported = writable;
  else *supported = false;
  return kOk;
}

HRESULT ProviderRecordset::AddNew(const Variant& /*field_list*/, const Variant& /*values*/) {
  if (!IsOpen()) return FailClosed();
  if (buffer_->edit_mode == ado::adEditAdd) {
    return Fail(ado::adErrIllegalOperation,
                u"Operation is not allowed in this context: a new row is already pending.");
  }
  buffer_->ClearPending();
  buffer_->edit_mode = ado::adEditAdd;
  return kOk;
}

HRESULT ProviderRecordset::Update(const Variant& /*fields*/, const Variant& /*values*/) {
  if (!IsOpen()) return FailClosed();
  if (buffer_->edit_mode != ado::adEditAdd) return kOk;
  if (!buffer_->connection->session) return FailClosed();
  // The backend reads the assigned values where they are: a row that fails
  // stays pending as it was.
  auto& storing = buffer_->storing;
  auto& pending = buffer_->pending;
  storing.clear();
  // In the columns' order, whatever the order of assignment.
  std::sort(buffer_->assigned.begin(), buffer_->assigned.end());
  for (const std::size_t i : buffer_->assigned) storing.push_back({i, pending[i].value});
  Failure failure;
  const bool stored = buffer_->batching ? buffer_->target->QueueRow(storing, &failure)
                                        : buffer_->target->InsertRow(storing, &failure);
  storing.clear();  // it refers to the cells, which change places below
  if (!stored) return buffer_->connection->Fail(std::move(failure));
  // The stored row becomes the current one; the one before it makes room
  // for the next new row.
  if (!buffer_->current) buffer_->current.emplace(pending.size());
  buffer_->current->swap(pending);
  buffer_->current_assigned.swap(buffer_->assigned);
  buffer_->ClearPending();
  buffer_->edit_mode = ado::adEditNone;
  return kOk;
}

HRESULT ProviderRecordset::get_EditMode(std::int32_t* mode) {
  if (!mode) return kPointer;
  if (!IsOpen()) return FailClosed();
  *mode = buffer_->edit_mode;
  return kOk;
}

HRESULT ProviderRecordset::CancelUpdate() {
  if (!IsOpen()) return FailClosed();
  buffer_->ClearPending();
  buffer_->edit_mode = ado::adEditNone;
  return kOk;
}

HRESULT ProviderRecordset::Resync(std::int32_t /*affect_records*/, std::int32_t /*resync_values*/) {
  if (!IsOpen()) return FailClosed();
  return Fail(ado::adErrFeatureNotAvailable,
              u"Current provider does not support the necessary interface for Resync.");
}

HRESULT ProviderRecordset::get_State(std::int32_t* state) {
  if (!state) return kPointer;
  *state = IsOpen() ? ado::adStateOpen : ado::adStateClosed;
  return kOk;
}

HRESULT ProviderRecordset::get_BOF(bool* bof) {
  if (!bof) return kPointer;
  if (!IsOpen()) return FailClosed();
  *bof = buffer_->edit_mode != ado::adEditAdd && !buffer_->current;
  return kOk;
}

HRESULT ProviderRecordset::get_EOF(bool* eof) { return get_BOF(eof); }

HRESULT ProviderRecordset::MoveFirst() {
  if (!IsOpen()) return FailClosed();
  return kOk;
}

HRESULT ProviderRecordset::MoveNext() {
  if (!IsOpen()) return FailClosed();
  // An insert recordset fetches no rows: it is always at its end.
  return Fail(ado::adErrNoCurrentRecord, kNoCurrentRecordText);
}

bool ProviderRecordset::BeginRowBatch() {
  if (!IsOpen() || buffer_->batching || !RowBatchesAllowed()) return false;
  buffer_->batching = buffer_->target->BeginBatch();
  return buffer_->batching;
}

HRESULT ProviderRecordset::SendRowBatch(bool* stored) {
  if (!stored) return kPointer;
  *stored = false;
  if (!IsOpen()) return FailClosed();
  if (!buffer_->batching) return kOk;
  buffer_->batching = false;
  if (!buffer_->connection->session) return FailClosed();
  Failure failure;
  switch (buffer_->target->SendBatch(&failure)) {
    case InsertTarget::BatchOutcome::kStored:
      *stored = true;
      return kOk;
    case InsertTarget::BatchOutcome::kNotSent:
    case InsertTarget::BatchOutcome::kNothingStored:
      return kOk;
    case InsertTarget::BatchOutcome::kUnknown:
      break;
  }
  return buffer_->connection->Fail(std::move(failure));
}

void ProviderRecordset::EndRowBatch() {
  if (!IsOpen() || !buffer_->batching) return;
  buffer_->batching = false;
  buffer_->target->DiscardBatch();
}

HRESULT ProviderRecordset::Close() {
  if (!IsOpen()) return FailClosed();
  EndRowBatch();
  // As with ADO, a pending row must be stored or cancelled before closing.
  if (buffer_->edit_mode != ado::adEditNone) {
    return Fail(ado::adErrIllegalOperation,
                u"Operation is not allowed in this context: the recordset has a pending new row "
                u"that was neither stored nor cancelled.");
  }
  // Field objects may outlive the recordset; they keep the buffer (and the
  // column descriptions) alive but see it closed.
  buffer_->open = false;
  --buffer_->connection->open_recordsets;
  buffer_->field_objects.clear();  // each holds the buffer
  buffer_.reset();
  fields_.reset();
  return kOk;
}

}  // namespace dbAx::provider
