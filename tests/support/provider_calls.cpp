#include "tests/support/provider_calls.h"

#include "base/text.h"

namespace mirdane::test {

std::shared_ptr<Connection> OpenConnection(const std::u16string& system, const std::u16string& user,
                                           const std::u16string& password, HRESULT* result) {
  std::shared_ptr<Connection> connection;
  *result = dbAx::provider::CreateConnection(&connection);
  if (*result < 0) return connection;
  *result = connection->Open(u"Provider=IBMDA400;Data source=" + system + u";Force Translate=0",
                             user, password, -1);
  return connection;
}

std::shared_ptr<Recordset> OpenInsert(const std::shared_ptr<Connection>& connection,
                                      const std::u16string& sql, HRESULT* result) {
  std::shared_ptr<Recordset> recordset;
  *result = dbAx::provider::CreateRecordset(&recordset);
  if (*result < 0) return recordset;
  *result = recordset->Open(Variant::Text(sql), Variant::ObjectRef(connection), 0, 3, -1);
  return recordset;
}

std::vector<std::string> DescribeFields(const std::shared_ptr<Recordset>& recordset) {
  std::shared_ptr<dbAx::provider::Fields> fields;
  std::vector<std::string> described;
  if (recordset->get_Fields(&fields) < 0) return described;
  for (std::int32_t i = 0;; ++i) {
    std::shared_ptr<Field> field;
    if (fields->get_Item(Variant::I4(i), &field) < 0) break;
    std::int32_t type = 0, attributes = 0;
    std::uint8_t precision = 0, scale = 0;
    field->get_Type(&type);
    field->get_Attributes(&attributes);
    field->get_Precision(&precision);
    field->get_NumericScale(&scale);
    described.push_back(std::to_string(type) + "/" + std::to_string(attributes) +
                        "/" + std::to_string(precision) + "/" + std::to_string(scale));
  }
  return described;
}

std::shared_ptr<Field> FieldOf(const std::shared_ptr<Recordset>& recordset,
                               const std::u16string& name) {
  std::shared_ptr<dbAx::provider::Fields> fields;
  std::shared_ptr<Field> field;
  if (recordset->get_Fields(&fields) < 0 || fields->get_Item(Variant::Text(name), &field) < 0) {
    return nullptr;
  }
  return field;
}

std::string ErrorsText(const std::shared_ptr<Connection>& connection) {
  std::shared_ptr<dbAx::provider::Errors> errors;
  std::int32_t count = 0;
  if (connection->get_Errors(&errors) < 0 || errors->get_Count(&count) < 0) return "?";
  std::string text;
  for (std::int32_t i = 0; i < count; ++i) {
    std::shared_ptr<dbAx::provider::Error> error;
    std::u16string description;
    if (errors->get_Item(Variant::I4(i), &error) < 0) continue;
    error->get_Description(&description);
    text += Utf16ToUtf8(description) + "\n";
  }
  return text;
}

HRESULT InsertRow(const std::shared_ptr<Recordset>& recordset,
                  std::initializer_list<std::pair<const char16_t*, const char16_t*>> values) {
  HRESULT result = recordset->AddNew(Variant::Missing(), Variant::Missing());
  if (result < 0) return result;
  for (const auto& [name, value] : values) {
    const auto field = FieldOf(recordset, name);
    if (!field) return hr::kInvalidArg;
    result = field->put_Value(Variant::Text(value));
    if (result < 0) {
      recordset->CancelUpdate();
      return result;
    }
  }
  result = recordset->Update(Variant::Missing(), Variant::Missing());
  if (result < 0) recordset->CancelUpdate();
  return result;
}

}  // namespace mirdane::test
