// The recordset a query command answers with: its rows are read already, and
// it only walks them forward. Everything that would change it is refused.
#include <cstddef>

#include "base/text.h"
#include "dbax/provider/provider_command.h"

namespace dbAx::provider {
namespace {

using mirdane::hr::kOk;
using mirdane::hr::kPointer;
using ado::kNoCurrentRecordText;
using ado::kObjectClosedText;
using ado::kObjectOpenText;

constexpr char16_t kReadOnlyText[] =
    u"Operation is not allowed in this context: the recordset of a query is read-only.";

struct Rows {
  std::shared_ptr<ConnectionCore> connection;
  StatementResult result;
  std::size_t position = 0;  // the current row; rows.size() at the end
  bool open = true;

  bool AtEnd() const { return position >= result.rows.size(); }
};

class ResultField final : public Field {
 public:
  ResultField(std::shared_ptr<Rows> rows, std::size_t index) : rows_(std::move(rows)), index_(index) {}

  HRESULT get_Attributes(std::int32_t* attributes) override {
    if (!attributes) return kPointer;
    *attributes = ado::adFldIsNullable;
    return kOk;
  }
  HRESULT get_Type(std::int32_t* type) override {
    if (!type) return kPointer;
    *type = ado::adVarWChar;  // every value was read as text
    return kOk;
  }
  HRESULT get_Precision(std::uint8_t* precision) override {
    if (!precision) return kPointer;
    *precision = 0;
    return kOk;
  }
  HRESULT get_NumericScale(std::uint8_t* scale) override {
    if (!scale) return kPointer;
    *scale = 0;
    return kOk;
  }
  HRESULT put_Value(const Variant&) override {
    return rows_->connection->Fail(ado::adErrIllegalOperation, kReadOnlyText);
  }
  HRESULT get_Value(Variant* value) override {
    if (!value) return kPointer;
    if (!rows_->open) return rows_->connection->Fail(ado::adErrObjectClosed, kObjectClosedText);
    if (rows_->AtEnd()) {
      return rows_->connection->Fail(ado::adErrNoCurrentRecord, kNoCurrentRecordText);
    }
    const auto& cell = rows_->result.rows[rows_->position].at(index_);
    *value = cell ? Variant::Text(*cell) : Variant::Null();
    return kOk;
  }

 private:
  std::shared_ptr<Rows> rows_;
  std::size_t index_;
};

class ResultFields final : public Fields {
 public:
  explicit ResultFields(std::shared_ptr<Rows> rows) : rows_(std::move(rows)) {}

  HRESULT get_Item(const Variant& index, std::shared_ptr<Field>* field) override {
    if (!field) return kPointer;
    const auto& columns = rows_->result.columns;
    if (const auto* name = index.AsText()) {
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (mirdane::EqualsIgnoringAsciiCase(columns[i], *name)) {
          *field = std::make_shared<ResultField>(rows_, i);
          return kOk;
        }
      }
    } else if (const auto ordinal = index.AsInteger()) {
      if (*ordinal >= 0 && static_cast<std::size_t>(*ordinal) < columns.size()) {
        *field = std::make_shared<ResultField>(rows_, static_cast<std::size_t>(*ordinal));
        return kOk;
      }
    }
    return ado::adErrItemNotFound;
  }

 private:
  std::shared_ptr<Rows> rows_;
};

class ResultRecordset final : public Recordset {
 public:
  explicit ResultRecordset(std::shared_ptr<Rows> rows) : rows_(std::move(rows)) {}

  HRESULT put_Source(const std::u16string&) override { return Open(); }
  HRESULT putref_ActiveConnection(const std::shared_ptr<Connection>&) override { return Open(); }
  HRESULT Open(const Variant&, const Variant&, std::int32_t, std::int32_t, std::int32_t) override {
    return Open();
  }
  HRESULT get_Fields(std::shared_ptr<Fields>* fields) override {
    if (!fields) return kPointer;
    if (!rows_->open) return Closed();
    *fields = std::make_shared<ResultFields>(rows_);
    return kOk;
  }
  HRESULT put_CursorType(std::int32_t) override { return Open(); }
  HRESULT get_CursorType(std::int32_t* value) override { return Give(ado::adOpenForwardOnly, value); }
  HRESULT put_CacheSize(std::int32_t) override { return ReadOnly(); }
  HRESULT get_CacheSize(std::int32_t* value) override { return Give(1, value); }
  HRESULT put_CursorLocation(std::int32_t) override { return Open(); }
  HRESULT get_CursorLocation(std::int32_t* value) override { return Give(ado::adUseClient, value); }
  HRESULT put_MarshalOptions(std::int32_t) override { return ReadOnly(); }
  HRESULT get_MarshalOptions(std::int32_t* value) override { return Give(0, value); }
  HRESULT Supports(std::int32_t, bool* supported) override {
    if (!supported) return kPointer;
    *supported = false;
    return kOk;
  }
  HRESULT AddNew(const Variant&, const Variant&) override { return ReadOnly(); }
  HRESULT Update(const Variant&, const Variant&) override { return ReadOnly(); }
  HRESULT get_EditMode(std::int32_t* mode) override { return Give(ado::adEditNone, mode); }
  HRESULT CancelUpdate() override { return kOk; }  // nothing is ever pending
  HRESULT Resync(std::int32_t, std::int32_t) override { return ReadOnly(); }
  HRESULT get_State(std::int32_t* state) override {
    return Give(rows_->open ? ado::adStateOpen : ado::adStateClosed, state);
  }
  HRESULT get_BOF(bool* bof) override {
    if (!bof) return kPointer;
    if (!rows_->open) return Closed();
    *bof = rows_->result.rows.empty();
    return kOk;
  }
  HRESULT get_EOF(bool* eof) override {
    if (!eof) return kPointer;
    if (!rows_->open) return Closed();
    *eof = rows_->AtEnd();
    return kOk;
  }
  HRESULT MoveFirst() override {
    // Forward-only: back to the start only while still there.
    if (!rows_->open) return Closed();
    if (rows_->position != 0) return ReadOnly();
    return kOk;
  }
  HRESULT MoveNext() override {
    if (!rows_->open) return Closed();
    if (rows_->AtEnd()) {
      return rows_->connection->Fail(ado::adErrNoCurrentRecord, kNoCurrentRecordText);
    }
    ++rows_->position;
    return kOk;
  }
  HRESULT Close() override {
    if (!rows_->open) return Closed();
    rows_->open = false;
    return kOk;
  }

 private:
  HRESULT Open() {
    return rows_->connection->Fail(ado::adErrObjectOpen, kObjectOpenText);
  }
  HRESULT ReadOnly() { return rows_->connection->Fail(ado::adErrIllegalOperation, kReadOnlyText); }
  HRESULT Closed() { return rows_->connection->Fail(ado::adErrObjectClosed, kObjectClosedText); }
  static HRESULT Give(std::int32_t value, std::int32_t* out) {
    if (!out) return kPointer;
    *out = value;
    return kOk;
  }

  std::shared_ptr<Rows> rows_;
};

}  // namespace

std::shared_ptr<Recordset> MakeResultRecordset(std::shared_ptr<ConnectionCore> connection,
                                               StatementResult result) {
  auto rows = std::make_shared<Rows>();
  rows->connection = std::move(connection);
  rows->result = std::move(result);
  return std::make_shared<ResultRecordset>(std::move(rows));
}

}  // namespace dbAx::provider
