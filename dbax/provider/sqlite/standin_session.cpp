#include "dbax/provider/sqlite/standin_session.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "base/format.h"
#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/sql_type.h"
#include "dbax/provider/sqlite/bind_value.h"
#include "dbax/provider/sqlite/db2_values.h"
#include "dbax/provider/sqlite/source_target.h"
#include "dbax/provider/sqlite/standin_statement.h"
#include "dbax/provider/sqlite/standin_system.h"
#include "dbax/sql_identifier.h"

namespace dbAx::provider::sqlite {
namespace {

using mirdane::FormatText;
using mirdane::Utf16ToUtf8;
using mirdane::Utf8ToUtf16;

// Error numbers as ADO reports them for OLE DB providers.
constexpr std::int32_t kSqlErrorNumber = mirdane::hr::kFail;
constexpr std::int32_t kConversionErrorNumber = ado::DB_E_ERRORSOCCURRED;

Failure SqlFailure(std::u16string description) {
  return Failure::Of(mirdane::hr::kFail, kSqlErrorNumber, std::move(description));
}

// What a source query was found to be, kept while the session lives so that
// the next recordset on the same source need not describe it again: the
// columns, their types and the INSERT statements prepared for them.
struct StandInShape {
  std::vector<ColumnInfo> columns;
  std::vector<SqlType> types;
  std::vector<std::string> origins;  // the table column behind each source column
  std::string library;
  std::u16string library16;
  std::string table;
  ColumnIndex index;
  // When it was described: the library's attachment and schema version.
  std::uint64_t attach_serial = 0;
  std::optional<int> schema_version;
  // The session's use in which it was last found current.
  std::uint64_t verified_in = 0;
  // Set when something failed on the table: the next recordset describes it afresh.
  bool stale = false;
  // INSERT statements, one per set of assigned columns: the lines of one
  // document usually share theirs, and so do the documents of a batch.
  std::map<std::vector<std::size_t>, StatementHandle> statements;
  // The text each column last took and what it became: a column's verdict
  // depends on nothing else, and the lines of a document repeat most of
  // their values (the transaction number, the flags, often quantities).
  struct LastTaken {
    bool known = false;
    std::u16string text;
    Variant stored;
  };
  std::vector<LastTaken> last_taken;

  StandInShape(std::vector<ColumnInfo> c, std::vector<SqlType> t, std::vector<std::string> o,
               std::string l, std::string tb)
      : columns(std::move(c)), types(std::move(t)), origins(std::move(o)), library(std::move(l)),
        library16(Utf8ToUtf16(library)), table(std::move(tb)), index(columns),
        last_taken(columns.size()) {}
};

class StandInTable final : public InsertTarget {
 public:
  StandInTable(std::shared_ptr<StandInSystem> system, std::shared_ptr<StandInShape> shape)
      : system_(std::move(system)), shape_(std::move(shape)) {}

  const std::vector<ColumnInfo>& columns() const override { return shape_->columns; }
  std::optional<std::size_t> FindColumn(const std::u16string& name) const override {
    return shape_->index.Find(name);
  }

  bool AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                   Failure* failure) override {
    const std::u16string* text = value.AsText();
    auto& last = shape_->last_taken[index];
    if (text && last.known && mirdane::SameText(last.text, *text)) {
      *stored = last.stored;
      return true;
    }
    auto verdict = TakeValue(shape_->types[index], shape_->columns[index].name, value);
    if (!verdict.accepted) {
      shape_->stale = true;
      *failure = Failure::Of(ado::DB_E_ERRORSOCCURRED, kConversionErrorNumber,
                             std::move(verdict.refusal));
      return false;
    }
    last.known = text != nullptr;
    if (text) {
      last.text.assign(*text);
      last.stored = verdict.stored;
    }
    *stored = std::move(verdict.stored);
    return true;
  }

  bool InsertRow(const RowValues& values, Failure* failure) override {
    if (Insert(values, failure)) return true;
    shape_->stale = true;
    return false;
  }

 private:
  bool Insert(const RowValues& values, Failure* failure) {
    const StandInShape& shape = *shape_;
    // The library may have been detached to make room for others meanwhile.
    try {
      if (!system_->Use(shape.library16)) {
        *failure = SqlFailure(FormatText(u"SQL0204 - %s in *LIBL type *LIB not found.",
                                         {shape.library16}));
        return false;
      }
    } catch (const LibraryError& error) {
      *failure = SqlFailure(u"SQL7008 - " + Utf8ToUtf16(error.what()));
      return false;
    }
    key_.clear();
    for (const auto& [index, value] : values) key_.push_back(index);
    sqlite3_stmt* statement = Prepared(key_, failure);
    if (!statement) return false;
    // Every parameter is bound below: the statement is the one for exactly
    // these columns, and it was reset after its last step.
    if (texts_.size() < values.size()) texts_.resize(values.size());
    int parameter = 1;
    for (const auto& [index, value] : values) {
      BindValue(statement, parameter, value, &texts_[static_cast<std::size_t>(parameter - 1)]);
      ++parameter;
    }
    // Outside a transaction each INSERT commits by itself, durably (the
    // library is opened with synchronous=FULL).
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
      *failure = Failure::Of(ado::DB_E_INTEGRITYVIOLATION, kSqlErrorNumber,
                             FormatText(u"SQL0803 - Duplicate key value specified: %s.%s: %s",
                                        {shape.library16, Utf8ToUtf16(shape.table),
                                         Utf8ToUtf16(system_->LastError())}));
      return false;
    }
    if (rc != SQLITE_DONE) {
      *failure = SqlFailure(FormatText(u"SQL7008 - Row not stored in %s.%s: %s",
                                       {shape.library16, Utf8ToUtf16(shape.table),
                                        Utf8ToUtf16(system_->LastError())}));
      return false;
    }
    return true;
  }

  sqlite3_stmt* Prepared(const std::vector<std::size_t>& key, Failure* failure) {
    // The rows of a table mostly assign the same columns, one after another.
    if (last_statement_ && last_statement_->first == key) return last_statement_->second.get();
    auto& statements = shape_->statements;
    if (auto found = statements.find(key); found != statements.end()) {
      last_statement_ = &*found;
      return found->second.get();
    }
    const StandInShape& shape = *shape_;
    std::string sql =
        "INSERT INTO " + QuoteIdentifier(shape.library) + "." + QuoteIdentifier(shape.table);
    if (key.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      std::string names, marks;
      for (const std::size_t index : key) {
        if (!names.empty()) {
          names += ", ";
          marks += ", ";
        }
        names += QuoteIdentifier(shape.origins[index]);
        marks += "?";
      }
      sql += " (" + names + ") VALUES (" + marks + ")";
    }
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(system_->db(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &raw,
                           nullptr) != SQLITE_OK) {
      sqlite3_finalize(raw);
      *failure = SqlFailure(FormatText(u"SQL7008 - %s.%s cannot take rows: %s",
                                       {shape.library16, Utf8ToUtf16(shape.table),
                                        Utf8ToUtf16(system_->LastError())}));
      return nullptr;
    }
    last_statement_ = &*statements.emplace(key, StatementHandle(raw)).first;
    return last_statement_->second.get();
  }

  std::shared_ptr<StandInSystem> system_;
  std::shared_ptr<StandInShape> shape_;
  // Reused for each row.
  std::vector<std::size_t> key_;
  // The statement used last; the shape keeps it (its map never drops one).
  const std::pair<const std::vector<std::size_t>, StatementHandle>* last_statement_ = nullptr;
  std::vector<std::string> texts_;
};

class StandInSession final : public Session {
 public:
  explicit StandInSession(std::shared_ptr<StandInSystem> system) : system_(std::move(system)) {}

  bool OpenSource(const std::u16string& sql, std::unique_ptr<InsertTarget>* target,
                  Failure* failure) override {
    if (!system_) {
      *failure = SqlFailure(u"The connection to the stand-in system is closed.");
      return false;
    }
    if (const auto found = shapes_.find(sql); found != shapes_.end()) {
      if (!found->second->stale && StillCurrent(*found->second)) {
        *target = std::make_unique<StandInTable>(system_, found->second);
        return true;
      }
      shapes_.erase(found);
    }
    const SourceTarget named = SourceTargetOf(sql);
    if (named.qualified && named.library.empty()) {
      *failure = SqlFailure(FormatText(
          u"SQL0104 - Token . was not valid: the library name is missing before .%s in %s",
          {named.table, sql}));
      return false;
    }
    // A library is attached when a statement first names it.
    std::u16string runs = sql;
    if (named.qualified) {
      try {
        if (system_->Use(named.library) && dbAx::IsSqlIdentifier(named.table)) {
          // The name quoted, so that '#', '@' and '$', which SQLite would
          // take for parameters, are read as part of it.
          runs = sql.substr(0, named.begin) +
                 Utf8ToUtf16(QuoteIdentifier(system_->AttachedName(named.library)) + "." +
                             QuoteIdentifier(Utf16ToUtf8(named.table))) +
                 sql.substr(named.end);
        }
      } catch (const LibraryError& error) {
        *failure = SqlFailure(u"SQL0204 - " + Utf8ToUtf16(error.what()));
        return false;
      }
    }

    const std::string utf8 = Utf16ToUtf8(runs);
    StatementHandle statement;
    try {
      if (system_->Prepare(utf8.c_str(), &statement) != SQLITE_OK) {
        *failure = SqlFailure(DescribePrepareFailure(named, sql));
        return false;
      }
    } catch (const LibraryError& error) {
      *failure = SqlFailure(u"SQL0204 - " + Utf8ToUtf16(error.what()));
      return false;
    }
    // Run once (it reads no row), so that a table changed by another
    // connection since this one last read the library's schema is described
    // as it is now: SQLite notices the change, and prepares again, only
    // when a statement runs.
    sqlite3_step(statement.get());
    sqlite3_reset(statement.get());
    return Describe(statement.get(), sql, target, failure);
  }

  bool RunStatement(const KeyedStatement& statement, const std::vector<Variant>& parameters,
                    StatementResult* result, Failure* failure) override {
    if (!system_) {
      *failure = SqlFailure(u"The connection to the stand-in system is closed.");
      return false;
    }
    return RunStandInStatement(*system_, statement, parameters, result, failure);
  }

  bool Close(Failure* /*failure*/) override {
    shapes_.clear();
    system_.reset();
    return true;
  }

  // Kept only while every library file it attached is still the one it
  // attached: a file deleted or replaced meanwhile would take rows that no
  // one will ever see.
  bool StillUsable() override {
    if (!system_) return false;
    // A file still in place answers for its folder too (a folder removed or
    // renamed moves its files); only a system with none attached asks.
    std::error_code error;
    if (system_->AnyAttached() ? !system_->FilesInPlace()
                               : !std::filesystem::is_directory(system_->directory(), error)) {
      return false;
    }
    // A new use: kept descriptions are checked again, once each.
    ++use_;
    versions_.clear();
    return true;
  }

 private:
  // A kept description holds while its library is attached as it was and
  // no table of it has changed since. The schema version is read once per
  // library each time the session is taken from the pool: while one
  // connection uses it, what was described stands.
  bool StillCurrent(StandInShape& shape) {
    try {
      if (!system_->Use(shape.library16)) return false;
    } catch (const LibraryError&) {
      return false;  // described afresh, which reports it
    }
    if (system_->AttachSerial(shape.library16) != shape.attach_serial) return false;
    if (shape.verified_in == use_) return true;
    auto version = versions_.find(shape.library16);
    if (version == versions_.end()) {
      version = versions_.emplace(shape.library16, system_->SchemaVersion(shape.library16)).first;
    }
    if (version->second != shape.schema_version) return false;
    shape.verified_in = use_;
    return true;
  }

  std::u16string DescribePrepareFailure(const SourceTarget& named, const std::u16string& sql) {
    if (named.qualified && !system_->IsAttached(named.library)) {
      return FormatText(u"SQL0204 - %s in *LIBL type *LIB not found: the stand-in system %s has "
                        u"no library %s.",
                        {named.library, Utf8ToUtf16(system_->directory().string()),
                         named.library});
    }
    if (named.qualified) {
      return FormatText(u"SQL0204 - %s in %s type *FILE not found.", {named.table, named.library});
    }
    return FormatText(u"SQL0104 - The statement %s was not valid: %s",
                      {sql, Utf8ToUtf16(system_->LastError())});
  }

  bool Describe(sqlite3_stmt* statement, const std::u16string& sql,
                std::unique_ptr<InsertTarget>* target, Failure* failure) {
    const int count = sqlite3_column_count(statement);
    std::vector<ColumnInfo> columns;
    std::vector<SqlType> types;
    std::vector<std::string> origins;
    std::string library, table;
    for (int i = 0; i < count; ++i) {
      ColumnInfo column;
      column.name = Utf8ToUtf16(sqlite3_column_name(statement, i));
      const char* declared = sqlite3_column_decltype(statement, i);
      SqlType type = ParseSqlType(Utf8ToUtf16(declared ? declared : "VARCHAR(0)"));
      column.type = type.AdoType();
      column.precision = static_cast<std::uint8_t>(type.precision);
      column.scale = static_cast<std::uint8_t>(type.scale);
      column.defined_size = type.IsText() ? type.length : type.precision;
      const char* database = sqlite3_column_database_name(statement, i);
      const char* from = sqlite3_column_table_name(statement, i);
      const char* origin = sqlite3_column_origin_name(statement, i);
      // Only a plain column of the one table the source names can take values;
      // expressions and columns of other tables are read-only.
      if (database && from && origin) {
        if (table.empty()) {
          library = database;
          table = from;
        }
        if (library == database && table == from) column.attributes |= ado::adFldUpdatable;
      }
      if (type.kind == SqlType::Kind::Char || type.IsDecimal()) column.attributes |= ado::adFldFixed;
      columns.push_back(std::move(column));
      types.push_back(std::move(type));
      origins.emplace_back(origin ? origin : "");
    }
    if (table.empty()) {
      *failure = SqlFailure(FormatText(u"SQL7008 - The statement %s names no table that can take "
                                       u"rows.", {sql}));
      return false;
    }
    NoteSourceDescribed();
    auto shape = std::make_shared<StandInShape>(std::move(columns), std::move(types),
                                                std::move(origins), library, table);
    shape->attach_serial = system_->AttachSerial(shape->library16);
    shape->schema_version = system_->SchemaVersion(shape->library16);
    shape->verified_in = use_;
    if (shape->attach_serial != 0 && shape->schema_version) {
      if (shapes_.size() >= kMaxShapes) shapes_.clear();
      shapes_[sql] = shape;
    }
    *target = std::make_unique<StandInTable>(system_, std::move(shape));
    return true;
  }

  // More sources than a release uses are not worth remembering.
  static constexpr std::size_t kMaxShapes = 64;

  std::shared_ptr<StandInSystem> system_;
  // Each time the session is taken from the pool begins a new use; the
  // schema versions read in this use, by library.
  std::uint64_t use_ = 0;
  std::unordered_map<std::u16string, std::optional<int>> versions_;
  // Declared after the system, so that their statements go first.
  std::unordered_map<std::u16string, std::shared_ptr<StandInShape>> shapes_;
};

}  // namespace

bool OpenStandInSession(const std::u16string& directory, std::shared_ptr<Session>* session,
                        Failure* failure) {
  if (mirdane::TrimBlanks(directory).empty()) {
    *failure = Failure::Of(mirdane::hr::kFail, kSqlErrorNumber,
                           u"The stand-in data source sqlite: names no system directory.");
    return false;
  }
  try {
    auto system = std::make_shared<StandInSystem>(std::filesystem::path(Utf16ToUtf8(directory)));
    *session = std::make_shared<StandInSession>(std::move(system));
    return true;
  } catch (const std::exception& error) {
    *failure = Failure::Of(mirdane::hr::kFail, kSqlErrorNumber,
                           u"The stand-in system cannot be opened: " + Utf8ToUtf16(error.what()));
    return false;
  }
}

}  // namespace dbAx::provider::sqlite
