// What a database backend supplies to the provider's object model.
//
// The ADO-shaped objects (connection, recordset, fields) are implemented once,
// in the provider; a backend only opens sessions, describes the table behind a
// source query, takes field values as its database would, and stores rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/hresult.h"
#include "base/text.h"
#include "base/variant.h"
#include "dbax/provider/keyed_statement.h"

namespace dbAx::provider {

using mirdane::HRESULT;
using mirdane::Variant;

// One entry of a connection's Errors collection.
struct ProviderError {
  std::int32_t number = 0;
  std::u16string description;
};

// Why a backend call failed: the HRESULT the provider call answers with and
// the errors that replace the contents of the connection's Errors collection.
struct Failure {
  HRESULT result = mirdane::hr::kFail;
  std::vector<ProviderError> errors;
  // The connection to the database was lost (or found lost) by the call.
  bool connection_lost = false;

  static Failure Of(HRESULT result, std::int32_t number, std::u16string description) {
    return Failure{result, {ProviderError{number, std::move(description)}}};
  }
};

struct ColumnInfo {
  std::u16string name;
  std::int32_t type = 0;  // an ADO field type (ado::adChar, ado::adDecimal, ...)
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
  std::int32_t defined_size = 0;
  std::int32_t attributes = 0;  // ADO field attribute bits
};

// Columns found by name, ignoring the case of ASCII letters as ADO does; the
// first of two names that differ only in case wins.
class ColumnIndex {
 public:
  explicit ColumnIndex(const std::vector<ColumnInfo>& columns) {
    for (std::size_t i = 0; i < columns.size(); ++i) by_name_.emplace(columns[i].name, i);
  }
  std::optional<std::size_t> Find(const std::u16string& name) const {
    const auto found = by_name_.find(name);
    if (found == by_name_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::unordered_map<std::u16string, std::size_t, mirdane::AsciiCaseInsensitiveHash,
                     mirdane::AsciiCaseInsensitiveEqual>
      by_name_;
};

// A value of the row being stored: the index of its column and the value
// taken for it, read where the recordset keeps it rather than copied. It is
// good for the call that gets it: a backend that keeps a row copies it.
struct RowValue {
  std::size_t column;
  const Variant& value;
};
// The values of the row being stored, in the columns' order.
using RowValues = std::vector<RowValue>;

// The table behind an opened source query, ready to take new rows.
class InsertTarget {
 public:
  virtual ~InsertTarget() = default;

  // The columns of the source, in its order.
  virtual const std::vector<ColumnInfo>& columns() const = 0;
  // The column of that name, ignoring ASCII case.
  virtual std::optional<std::size_t> FindColumn(const std::u16string& name) const {
    const auto& all = columns();
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (mirdane::EqualsIgnoringAsciiCase(all[i].name, name)) return i;
    }
    return std::nullopt;
  }
  // Takes `value` for column `index` as the database would, giving the form
  // that will be stored; false and the reasons when the column refuses it,
  // and then `stored` is left as it was.
  virtual bool AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                           Failure* failure) = 0;
  // Stores one committed row of the given columns; the others take their
  // defaults.
  virtual bool InsertRow(const RowValues& values, Failure* failure) = 0;

  // Sending several rows in one go, where the database allows it: BeginBatch
  // starts collecting rows (false when the backend cannot send them together),
  // QueueRow keeps one (nothing reaches the database yet), SendBatch stores
  // the rows kept, DiscardBatch forgets them.
  enum class BatchOutcome {
    kStored,         // every row is stored and committed
    kNotSent,        // nothing was sent; the rows may go one by one, nothing failed
    kNothingStored,  // sent, and none of the rows is stored: some row was refused, or
                     // the driver could not say of each row what became of it
    kUnknown,        // what is stored is not known (the commit failed); `failure` says why
  };
  virtual bool BeginBatch() { return false; }
  virtual bool QueueRow(const RowValues& values, Failure* failure) {
    (void)values;
    (void)failure;
    return false;
  }
  virtual BatchOutcome SendBatch(Failure* failure) {
    (void)failure;
    return BatchOutcome::kNotSent;
  }
  virtual void DiscardBatch() {}
};

// What a keyed statement gave: the rows a SELECT read (values as text,
// nullopt for NULL), or how many rows an UPDATE or DELETE changed.
struct StatementResult {
  std::vector<std::u16string> columns;
  std::vector<std::vector<std::optional<std::u16string>>> rows;
  std::int64_t affected = 0;
};

// An open connection to one database system.
class Session {
 public:
  virtual ~Session() = default;

  // Opens `sql`, a query that names one table, for inserting rows into it.
  virtual bool OpenSource(const std::u16string& sql, std::unique_ptr<InsertTarget>* target,
                          Failure* failure) = 0;
  // Runs `statement` with `parameters` for its markers, in
  // KeyedStatement::ParameterColumns order, each taken as its column takes a
  // value. A table that does not exist fails with ado::DB_E_NOTABLE, a
  // duplicate key with ado::DB_E_INTEGRITYVIOLATION.
  virtual bool RunStatement(const KeyedStatement& statement, const std::vector<Variant>& parameters,
                            StatementResult* result, Failure* failure) = 0;
  // Ends the session; false when the database reported a problem doing so.
  virtual bool Close(Failure* failure) = 0;
  // Commits what the session holds back for its next statement (a first row
  // kept in a transaction of its own); false when that commit failed.
  virtual bool Settle(Failure* failure) {
    (void)failure;
    return true;
  }
  // Whether a session that lay idle can serve another connection: the
  // database still answers and what the session opened is still there. A
  // backend whose sessions are not pooled need not say.
  virtual bool StillUsable() { return false; }
};

// How many source queries the backends have described since the process
// started, for tests and benchmarks: a kept description is not counted again.
std::size_t SourcesDescribed();
void NoteSourceDescribed();

// Whether recordsets send a document's rows together where the backend
// allows it (on by default). Tests and benchmarks switch it off to compare
// with storing row by row.
bool RowBatchesAllowed();
void AllowRowBatches(bool allowed);
// How many batches of rows the backends have stored whole since the process
// started, for tests.
std::size_t RowBatchesStored();
void NoteRowBatchStored();

}  // namespace dbAx::provider
