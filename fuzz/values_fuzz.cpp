// Values as columns take them: any declared type and any text, through the
// stand-in's DB2 rules and the layer's decimal digit count.
#include <cstdint>
#include <string>

#include "base/text.h"
#include "base/variant.h"
#include "bridge/bridge_tool.h"
#include "dbax/ax_recordset.h"
#include "dbax/provider/sql_type.h"
#include "dbax/provider/sqlite/db2_values.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dbAx::provider;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // "TYPE\nVALUE": the declared type, then the value.
  const auto newline = bytes.find('\n');
  const std::u16string declared = mirdane::Utf8ToUtf16(bytes.substr(0, newline));
  const std::u16string value =
      newline == std::string::npos ? u"" : mirdane::Utf8ToUtf16(bytes.substr(newline + 1));

  const SqlType type = ParseSqlType(declared);
  (void)type.Canonical();
  const auto verdict = sqlite::TakeValue(type, u"COL", mirdane::Variant::Text(value));
  if (verdict.accepted) {
    // What a column holds, it takes again unchanged.
    const auto again = sqlite::TakeValue(type, u"COL", verdict.stored);
    FUZZ_CHECK(again.accepted);
    if (type.kind == SqlType::Kind::Char) {
      FUZZ_CHECK(static_cast<std::int32_t>(mirdane::CodePointCount(*verdict.stored.AsText())) ==
                 type.length);
    }
  } else {
    FUZZ_CHECK(!verdict.refusal.empty());
  }
  (void)dbAx::DecimalDigitCount(value);
  (void)mirdane::bridge::FormatDecimal(value, type.scale);
  return 0;
}
