#include "dbax/ax_command.h"

#include <memory>

#include "base/text.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/provider/ado.h"

namespace dbAx {
namespace {

using mirdane::Failed;
using mirdane::HRESULT;
using mirdane::Variant;
namespace ado = provider::ado;

constexpr char16_t kExecuteContext[] = u"CAxCommand::Execute";

std::shared_ptr<provider::Command> MakeCommand(CAxConnection& connection, const std::u16string& sql) {
  std::shared_ptr<provider::Command> command;
  HRESULT result = provider::CreateCommand(&command);
  if (Failed(result) || !command) {
    ThrowAxException(kAxErrorInitialize, u"CAxCommand::Create",
                     Failed(result) ? result : mirdane::hr::kPointer);
  }
  result = command->putref_ActiveConnection(connection.AdoConnection());
  if (!Failed(result)) result = command->put_CommandText(sql);
  if (Failed(result)) ThrowAxException(0, kExecuteContext, result);
  return command;
}

std::vector<Variant> Parameters(const std::vector<std::u16string>& texts) {
  std::vector<Variant> values;
  values.reserve(texts.size());
  for (const auto& text : texts) values.push_back(Variant::Text(text));
  return values;
}

// A value read as the text it stands for.
std::optional<std::u16string> TextOf(const Variant& value) {
  if (const auto* text = value.AsText()) return *text;
  if (value.IsNull() || value.IsEmpty()) return std::nullopt;
  if (const auto number = value.AsInteger()) return mirdane::Utf8ToUtf16(std::to_string(*number));
  if (const auto real = value.AsDouble()) return mirdane::Utf8ToUtf16(std::to_string(*real));
  return std::nullopt;
}

}  // namespace

std::int32_t CAxCommand::Execute(const std::u16string& sql,
                                 const std::vector<std::u16string>& parameters) {
  const auto command = MakeCommand(connection_, sql);
  std::int32_t affected = 0;
  const HRESULT result = command->Execute(&affected, Parameters(parameters),
                                          ado::adCmdText | ado::adExecuteNoRecords, nullptr);
  if (Failed(result)) ThrowAxException(0, kExecuteContext, result);
  return affected;
}

CAxRows CAxCommand::Query(const std::u16string& sql, const std::vector<std::u16string>& parameters) {
  const auto command = MakeCommand(connection_, sql);
  std::shared_ptr<provider::Recordset> recordset;
  HRESULT result = command->Execute(nullptr, Parameters(parameters), ado::adCmdText, &recordset);
  if (Failed(result)) ThrowAxException(0, kExecuteContext, result);
  if (!recordset) ThrowAxException(0, kExecuteContext, mirdane::hr::kPointer);

  CAxRows rows;
  std::shared_ptr<provider::Fields> fields;
  auto fail = [&](HRESULT why) {
    recordset->Close();  // unchecked: the failure that matters is thrown
    ThrowAxException(0, kExecuteContext, why);
  };
  for (;;) {
    bool eof = true;
    if (result = recordset->get_EOF(&eof); Failed(result)) fail(result);
    if (eof) break;
    if (!fields && Failed(result = recordset->get_Fields(&fields))) fail(result);
    auto& row = rows.emplace_back();
    for (std::int32_t i = 0;; ++i) {
      std::shared_ptr<provider::Field> field;
      // The columns end where an ordinal finds no field.
      if (Failed(fields->get_Item(Variant::I4(i), &field)) || !field) break;
      Variant value;
      if (result = field->get_Value(&value); Failed(result)) fail(result);
      row.push_back(TextOf(value));
    }
    if (result = recordset->MoveNext(); Failed(result)) fail(result);
  }
  recordset->Close();  // unchecked: every row is read
  return rows;
}

}  // namespace dbAx
