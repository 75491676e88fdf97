// A scripted stand-in for ADO's Connection, Recordset, Fields, Field and
// Errors objects, implementing the backend's interface declarations, so that
// the backend's own decisions (which calls, in which order, what it makes of
// a failure) can be checked where Wine's ADO cannot go.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dbax/provider/ado/ado_interfaces.h"
#include "dbax/provider/backend.h"
#include "win32/com_ptr.h"

namespace dbAx::provider::adodb::test {

struct FakeColumn {
  std::u16string name;
  LONG type = 129;  // adChar
  LONG attributes = 0x4;  // adFldUpdatable
  BYTE precision = 0;
  BYTE scale = 0;
  LONG_PTR defined_size = 10;
};

// What the fakes answer and what they were asked.
struct FakeAdoScript {
  std::vector<FakeColumn> columns;
  // Calls that fail ("Recordset.Update", "Field(C).Value", ...), and with what.
  std::map<std::string, HRESULT> failures;
  // Put into the Errors collection by a failing call.
  std::vector<ProviderError> provider_errors;
  // Set as the thread's error information by a failing call, when not empty.
  std::u16string error_info;
  // Supports: its HRESULT and its answer.
  HRESULT supports_result = S_OK;
  VARIANT_BOOL supports_answer = VARIANT_TRUE;

  std::vector<std::string> log;           // every call made, in order
  std::vector<ProviderError> errors_now;  // the Errors collection as it stands
};

mirdane::win32::ComPtr<AdoConnection> MakeFakeConnection(std::shared_ptr<FakeAdoScript> script);
// A recordset open on the script's columns.
mirdane::win32::ComPtr<AdoRecordset> MakeFakeRecordset(std::shared_ptr<FakeAdoScript> script);

}  // namespace dbAx::provider::adodb::test
