#include "dbax/provider/provider_command.h"

#include <limits>

#include "base/text.h"

namespace dbAx::provider {

using mirdane::hr::kOk;
using mirdane::hr::kPointer;

HRESULT ProviderCommand::Fail(HRESULT result, std::u16string description) {
  if (connection_) return connection_->core()->Fail(result, std::move(description));
  return result;
}

HRESULT ProviderCommand::putref_ActiveConnection(const std::shared_ptr<Connection>& connection) {
  auto own = std::dynamic_pointer_cast<ProviderConnection>(connection);
  if (connection && !own) {
    return ado::adErrInvalidArgument;  // another provider's connection has no session of ours
  }
  connection_ = std::move(own);
  return kOk;
}

HRESULT ProviderCommand::put_CommandText(const std::u16string& text) {
  text_ = text;
  return kOk;
}

HRESULT ProviderCommand::Execute(std::int32_t* records_affected,
                                 const std::vector<Variant>& parameters, std::int32_t options,
                                 std::shared_ptr<Recordset>* recordset) {
  if (recordset) recordset->reset();
  if (records_affected) *records_affected = 0;
  if (!connection_ || !connection_->core()->session) {
    return Fail(ado::adErrObjectClosed,
                u"Operation is not allowed when the object is closed: the command has no open "
                u"connection.");
  }
  if ((options & ado::adCmdText) == 0) {
    return Fail(ado::adErrInvalidArgument, u"The provider runs commands given as text only.");
  }
  const ParsedStatement parsed = ParseKeyedStatement(text_);
  if (!parsed.valid) return Fail(mirdane::hr::kFail, parsed.problem);
  const std::size_t markers = parsed.statement.ParameterColumns().size();
  if (parameters.size() != markers) {
    return Fail(ado::adErrInvalidArgument,
                u"The command has " + mirdane::Utf8ToUtf16(std::to_string(markers)) +
                    u" parameter markers and was given " +
                    mirdane::Utf8ToUtf16(std::to_string(parameters.size())) + u" values: " +
                    text_);
  }
  const bool wants_rows = parsed.statement.kind == KeyedStatement::Kind::Select;
  if (wants_rows && (options & ado::adExecuteNoRecords) != 0) {
    return Fail(ado::adErrInvalidArgument, u"A query was run without its records: " + text_);
  }
  if (wants_rows && !recordset) return kPointer;

  const auto core = connection_->core();
  StatementResult result;
  Failure failure;
  if (!core->session->RunStatement(parsed.statement, parameters, &result, &failure)) {
    return core->Fail(std::move(failure));
  }
  if (records_affected) {
    constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();
    *records_affected = static_cast<std::int32_t>(result.affected < kMost ? result.affected : kMost);
  }
  if (wants_rows) *recordset = MakeResultRecordset(core, std::move(result));
  return kOk;
}

}  // namespace dbAx::provider
