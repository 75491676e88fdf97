#include "dbax/provider/odbc/diagnostics.h"

#include "base/format.h"
#include "dbax/provider/ado.h"

namespace dbAx::provider::odbc {

std::u16string DiagnosticRecord::Describe() const {
  return mirdane::FormatText(u"SQLSTATE %s, native error %d: %s", {state, native, text});
}

std::vector<DiagnosticRecord> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<DiagnosticRecord> records;
  if (handle == nullptr) return records;
  SqlText message(512, 0);
  for (SQLSMALLINT number = 1;; ++number) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, number, state, &native, message.data(),
                                  static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && static_cast<std::size_t>(length) >= message.size()) {
      // The text was cut: read the same record again with room for all of it.
      message.assign(static_cast<std::size_t>(length) + 1, 0);
      rc = SQLGetDiagRecW(type, handle, number, state, &native, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!Succeeded(rc)) break;
    DiagnosticRecord record;
    record.state = FromSql(state, 5);
    record.native = static_cast<std::int32_t>(native);
    const auto shown = std::min(static_cast<std::size_t>(length < 0 ? 0 : length),
                                message.size() - 1);
    record.text = FromSql(message.data(), shown);
    // Drivers end their texts with a line break or not; the layer adds its own.
    while (!record.text.empty() && (record.text.back() == u'\n' || record.text.back() == u'\r')) {
      record.text.pop_back();
    }
    records.push_back(std::move(record));
  }
  return records;
}

Failure FailureOf(const std::vector<DiagnosticRecord>& records, SQLRETURN rc,
                  const std::u16string& context, const SecretScrubber& scrubber) {
  Failure failure;
  failure.result = mirdane::hr::kFail;
  if (!context.empty()) {
    failure.errors.push_back(ProviderError{mirdane::hr::kFail, scrubber.Scrub(context)});
  }
  for (const auto& record : records) {
    failure.errors.push_back(ProviderError{mirdane::hr::kFail, scrubber.Scrub(record.Describe())});
    // SQLSTATE 23505: a unique key already holds the value (DB2's SQL0803,
    // PostgreSQL's unique_violation); callers may draw another and retry.
    if (record.state == u"23505") failure.result = ado::DB_E_INTEGRITYVIOLATION;
    // Class 08 is a connection exception; 57P01 to 57P03 are PostgreSQL's
    // server shutting down or restarting under the session.
    if (record.state.starts_with(u"08") || record.state == u"57P01" || record.state == u"57P02" ||
        record.state == u"57P03") {
      failure.connection_lost = true;
    }
  }
  if (records.empty()) {
    failure.errors.push_back(ProviderError{
        mirdane::hr::kFail,
        mirdane::FormatText(u"The ODBC driver reported a failure (return code %d) without "
                            u"saying why.",
                            {static_cast<int>(rc)})});
  }
  return failure;
}

}  // namespace dbAx::provider::odbc
