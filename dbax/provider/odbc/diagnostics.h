// What a driver said about a failed call: every diagnostic record of a handle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dbax/provider/backend.h"
#include "dbax/provider/odbc/odbc_api.h"
#include "dbax/provider/secret_scrubber.h"

namespace dbAx::provider::odbc {

struct DiagnosticRecord {
  std::u16string state;  // the SQLSTATE, five characters
  std::int32_t native = 0;
  std::u16string text;

  // "SQLSTATE 42P01, native error 7: <the driver's text>"
  std::u16string Describe() const;
};

// Every diagnostic record of `handle`, in the driver's order.
std::vector<DiagnosticRecord> ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

// A failure carrying `context` (when not empty) and then every record, each
// as one provider error, all passed through `scrubber`. A call that failed
// without leaving any record still gets one error saying so.
Failure FailureOf(const std::vector<DiagnosticRecord>& records, SQLRETURN rc,
                  const std::u16string& context, const SecretScrubber& scrubber);

}  // namespace dbAx::provider::odbc
