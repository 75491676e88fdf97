// A VARIANT-like value for the COM-shaped interfaces of the portable core.
//
// Keys keep their variant type on purpose: the host distinguishes a position
// passed as a 4-byte integer (VT_I4) from a row key passed as a plain int
// (VT_INT), and ADO takes "missing" arguments as VT_ERROR with
// DISP_E_PARAMNOTFOUND. The Windows adapters translate these one to one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/hresult.h"
#include "base/object.h"

namespace mirdane {

enum class VarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  I2 = 2,
  I4 = 3,
  R4 = 4,
  R8 = 5,
  Currency = 6,
  Date = 7,
  BStr = 8,
  Dispatch = 9,
  Error = 10,
  Bool = 11,
  Variant = 12,
  Decimal = 14,
  UI1 = 17,
  I8 = 20,
  Int = 22,
  ByteArray = 0x2011,
};

class Variant {
 public:
  Variant() = default;

  static Variant Null() { return Variant(VarType::Null); }
  static Variant I4(std::int32_t value) { return Integer(VarType::I4, value); }
  static Variant Int(std::int32_t value) { return Integer(VarType::Int, value); }
  static Variant I8(std::int64_t value) { return Integer(VarType::I8, value); }
  static Variant R8(double value);
  static Variant Bool(bool value) { return Integer(VarType::Bool, value ? -1 : 0); }
  static Variant Text(std::u16string value);
  static Variant ObjectRef(std::shared_ptr<Object> value);
  static Variant ErrorCode(HRESULT code) { return Integer(VarType::Error, code); }
  // An optional argument left out, as automation passes it.
  static Variant Missing() { return ErrorCode(hr::kParamNotFound); }

  // Makes this a BStr holding `text`, reusing the storage it already has.
  void SetText(const std::u16string& text) {
    ClearForText();
    text_ = text;
  }

  VarType type() const { return type_; }
  bool IsEmpty() const { return type_ == VarType::Empty; }
  bool IsNull() const { return type_ == VarType::Null; }
  bool IsMissing() const { return type_ == VarType::Error && integer_ == hr::kParamNotFound; }

  // The value of an integer-like variant (I2, I4, Int, I8, UI1, Bool, Error).
  std::optional<std::int64_t> AsInteger() const;
  // The text of a BStr variant.
  const std::u16string* AsText() const { return type_ == VarType::BStr ? &text_ : nullptr; }
  std::optional<double> AsDouble() const;
  const std::shared_ptr<Object>& AsObject() const { return object_; }

 private:
  explicit Variant(VarType type) : type_(type) {}
  void ClearForText() {
    type_ = VarType::BStr;
    integer_ = 0;
    real_ = 0.0;
    if (object_) object_.reset();
  }
  static Variant Integer(VarType type, std::int64_t value);

  VarType type_ = VarType::Empty;
  std::int64_t integer_ = 0;
  double real_ = 0.0;
  std::u16string text_;
  std::shared_ptr<Object> object_;
};

}  // namespace mirdane
