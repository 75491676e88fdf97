#include "dbax/provider/sqlite/standin_session.h"

#include <map>
#include <stdexcept>
#include <string_view>

#include "base/format.h"
#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/sql_type.h"
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

class StandInTable final : public InsertTarget {
 public:
  StandInTable(std::shared_ptr<StandInSystem> system, std::vector<ColumnInfo> columns,
               std::vector<SqlType> types, std::vector<std::string> origins, std::string library,
               std::string table)
      : system_(std::move(system)), columns_(std::move(columns)), types_(std::move(types)),
        origins_(std::move(origins)), library_(std::move(library)), table_(std::move(table)) {}

  const std::vector<ColumnInfo>& columns() const override { return columns_; }

  bool AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                   Failure* failure) override {
    auto verdict = TakeValue(types_[index], columns_[index].name, value);
    if (!verdict.accepted) {
      *failure = Failure::Of(ado::DB_E_ERRORSOCCURRED, kConversionErrorNumber,
                             std::move(verdict.refusal));
      return false;
    }
    *stored = std::move(verdict.stored);
    return true;
  }

  bool InsertRow(const std::vector<std::pair<std::size_t, Variant>>& values,
                 Failure* failure) override {
    // The library may have been detached to make room for others meanwhile.
    try {
      if (!system_->Use(Utf8ToUtf16(library_))) {
        *failure = SqlFailure(FormatText(u"SQL0204 - %s in *LIBL type *LIB not found.",
                                         {Utf8ToUtf16(library_)}));
        return false;
      }
    } catch (const LibraryError& error) {
      *failure = SqlFailure(u"SQL7008 - " + Utf8ToUtf16(error.what()));
      return false;
    }
    std::vector<std::size_t> key;
    for (const auto& [index, value] : values) key.push_back(index);
    sqlite3_stmt* statement = Prepared(key, failure);
    if (!statement) return false;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    int parameter = 1;
    for (const auto& [index, value] : values) Bind(statement, parameter++, value);
    // Outside a transaction each INSERT commits by itself, durably (the
    // library is opened with synchronous=FULL).
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
      *failure = Failure::Of(ado::DB_E_INTEGRITYVIOLATION, kSqlErrorNumber,
                             FormatText(u"SQL0803 - Duplicate key value specified: %s.%s: %s",
                                        {Utf8ToUtf16(library_), Utf8ToUtf16(table_),
                                         Utf8ToUtf16(system_->LastError())}));
      return false;
    }
    if (rc != SQLITE_DONE) {
      *failure = SqlFailure(FormatText(u"SQL7008 - Row not stored in %s.%s: %s",
                                       {Utf8ToUtf16(library_), Utf8ToUtf16(table_),
                                        Utf8ToUtf16(system_->LastError())}));
      return false;
    }
    return true;
  }

 private:
  // INSERT statements are kept per set of assigned columns: the lines of one
  // document usually share theirs.
  sqlite3_stmt* Prepared(const std::vector<std::size_t>& key, Failure* failure) {
    if (auto found = statements_.find(key); found != statements_.end()) return found->second.get();
    std::string sql = "INSERT INTO " + QuoteIdentifier(library_) + "." + QuoteIdentifier(table_);
    if (key.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      std::string names, marks;
      for (const std::size_t index : key) {
        if (!names.empty()) {
          names += ", ";
          marks += ", ";
        }
        names += QuoteIdentifier(origins_[index]);
        marks += "?";
      }
      sql += " (" + names + ") VALUES (" + marks + ")";
    }
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(system_->db(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &raw,
                           nullptr) != SQLITE_OK) {
      sqlite3_finalize(raw);
      *failure = SqlFailure(FormatText(u"SQL7008 - %s.%s cannot take rows: %s",
                                       {Utf8ToUtf16(library_), Utf8ToUtf16(table_),
                                        Utf8ToUtf16(system_->LastError())}));
      return nullptr;
    }
    return statements_.emplace(key, StatementHandle(raw)).first->second.get();
  }

  static void Bind(sqlite3_stmt* statement, int parameter, const Variant& value) {
    if (const auto* text = value.AsText()) {
      const std::string utf8 = Utf16ToUtf8(*text);
      sqlite3_bind_text(statement, parameter, utf8.data(), static_cast<int>(utf8.size()),
                        SQLITE_TRANSIENT);
    } else if (value.type() == mirdane::VarType::R8) {
      sqlite3_bind_double(statement, parameter, *value.AsDouble());
    } else if (const auto integer = value.AsInteger()) {
      sqlite3_bind_int64(statement, parameter, *integer);
    } else {
      sqlite3_bind_null(statement, parameter);
    }
  }

  std::shared_ptr<StandInSystem> system_;
  std::vector<ColumnInfo> columns_;
  std::vector<SqlType> types_;
  std::vector<std::string> origins_;  // the table column behind each source column
  std::string library_;
  std::string table_;
  std::map<std::vector<std::size_t>, StatementHandle> statements_;
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
    system_.reset();
    return true;
  }

 private:
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
    *target = std::make_unique<StandInTable>(system_, std::move(columns), std::move(types),
                                             std::move(origins), library, table);
    return true;
  }

  std::shared_ptr<StandInSystem> system_;
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
