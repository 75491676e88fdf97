#include "release/document_values.h"

#include <filesystem>

#include "base/text.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "release/report_to_host.h"

namespace mirdane {
namespace {

using mirdane::hr::kOk;

constexpr char16_t kHeaderTable[] = u"UAGYCPP";
constexpr char16_t kLineTable[] = u"UAG0CPP";

// The separator put between a folder and a file name on this platform.
#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

// Windows cannot reach a path of MAX_PATH (260) characters or more the
// classic way; the host could not have imported from there either.
constexpr std::size_t kMaxPath = 260;

void AddLineValue(LineValues& entry, const std::u16string& column, std::u16string text) {
  entry.try_emplace(column, std::move(text));  // an existing key keeps its value
}

bool PathExists(const std::u16string& path) {
  if (path.size() >= kMaxPath) return false;
  std::error_code error;
#ifdef _WIN32
  const std::filesystem::path native(std::wstring(path.begin(), path.end()));
#else
  const std::filesystem::path native(Utf16ToUtf8(path));
#endif
  return std::filesystem::exists(native, error);
}

}  // namespace

void SplitDestination(const std::u16string& destination, std::u16string* table,
                      std::u16string* column) {
  const auto first = destination.find(u'.');
  if (first == std::u16string::npos) {
    *table = destination;
    column->clear();
    return;
  }
  *table = destination.substr(0, first);
  const auto second = destination.find(u'.', first + 1);
  *column = destination.substr(first + 1, second == std::u16string::npos
                                              ? std::u16string::npos
                                              : second - first - 1);
}

bool AddCommonLineValue(const std::u16string& column, const std::u16string& text,
                        ChargeLineSet& lines) {
  if (lines.empty()) lines.emplace_back();
  AddLineValue(lines[0], column, text);
  return true;
}

void RemoveLineValue(const std::u16string& column, ChargeLineSet& lines) {
  for (auto& entry : lines) entry.erase(column);
}

void SetGeneratedLineValue(const std::u16string& column, const std::u16string& text,
                           ChargeLineSet& lines) {
  RemoveLineValue(column, lines);
  AddCommonLineValue(column, text, lines);
}

bool ReadRowValues(const std::u16string& column, kfx::Value& value, ChargeLineSet& lines) {
  std::shared_ptr<Object> object;
  if (value.get_RowValues(Variant::Int(0), &object) != kOk) return false;
  std::shared_ptr<kfx::RowValues> rows;
  if (QueryInterfaceAs(object, &rows) != kOk) return false;
  std::int32_t count = 0;
  if (rows->get_Count(&count) != kOk) return false;
  if (count < 0) count = 0;
  const auto wanted = static_cast<std::size_t>(count) + 1;
  if (lines.size() < wanted) lines.resize(wanted);
  for (std::int32_t r = 1; r <= count; ++r) {
    std::shared_ptr<kfx::Value> row;
    std::u16string text;
    if (rows->get_Item(Variant::I4(r), &row) != kOk || !row) continue;
    if (row->get_Value(&text) != kOk) continue;
    AddLineValue(lines[static_cast<std::size_t>(r)], column, std::move(text));
  }
  return true;
}

bool readVariables(kfx::Values& values, dbAx::CAxRecordset& header, ChargeLineSet& lines) {
  try {
    std::int32_t count = 0;
    if (values.get_Count(&count) != kOk) {
      Report(messages::kFailedToGetCountOfValues);
      return false;
    }
    for (std::int32_t i = 1; i <= count; ++i) {
      std::shared_ptr<kfx::Value> item;
      if (values.get_Item(Variant::I4(i), &item) != kOk || !item) continue;
      std::u16string destination, text, table, column;
      item->get_Destination(&destination);
      item->get_Value(&text);
      SplitDestination(destination, &table, &column);
      if (table == kHeaderTable) {
        header.SetFieldTextChecked(column, text);
      } else if (table == kLineTable) {
        std::u16string tableName;
        if (item->get_TableName(&tableName) == kOk && !tableName.empty()) {
          ReadRowValues(column, *item, lines);  // rows that cannot be reached are passed over
        } else {
          AddCommonLineValue(column, text, lines);
        }
      }
    }
    return true;
  } catch (dbAx::CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    Report(messages::kErrorInReadVariables, {e->message});
  } catch (...) {
    Report(messages::kGeneralErrorInReadVariables);
  }
  return false;
}

bool ReadValueText(const std::u16string& destination, std::u16string* text, kfx::Values& values) {
  std::shared_ptr<kfx::Value> value;
  if (values.get_Item(Variant::Text(destination), &value) != kOk || !value) return false;
  std::u16string read;
  if (value->get_Value(&read) != kOk) return false;
  *text = read;
  return !text->empty();
}

bool FindOriginalFile(kfx::Values& values, std::u16string* path) {
  std::u16string folder, name, extension;
  ReadValueText(u"OriginalFolder", &folder, values);
  ReadValueText(u"OriginalFileName", &name, values);
  ReadValueText(u"OriginalFileNameExt", &extension, values);
  if (folder.empty() || name.empty()) return false;

  std::u16string built = folder;
  if (built.back() != u'\\' && built.back() != u'/') built += kPathSeparator;
  const std::size_t name_start = built.size();
  built += name;
  if (!extension.empty()) {
    // The extension replaces the file name's own; a dot in the folder
    // (C:\Batch.7) is not the start of an extension.
    const auto dot = built.rfind(u'.');
    if (dot != std::u16string::npos && dot > name_start) built.erase(dot);
    if (extension.front() != u'.') built += u'.';
    built += extension;
  }
  if (!PathExists(built)) return false;
  *path = built;
  return true;
}

}  // namespace mirdane
