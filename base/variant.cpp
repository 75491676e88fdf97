#include "base/variant.h"

namespace mirdane {

Variant Variant::Integer(VarType type, std::int64_t value) {
  Variant v(type);
  v.integer_ = value;
  return v;
}

Variant Variant::R8(double value) {
  Variant v(VarType::R8);
  v.real_ = value;
  return v;
}

Variant Variant::Text(std::u16string value) {
  Variant v(VarType::BStr);
  v.text_ = std::move(value);
  return v;
}

Variant Variant::ObjectRef(std::shared_ptr<Object> value) {
  Variant v(VarType::Dispatch);
  v.object_ = std::move(value);
  return v;
}

std::optional<std::int64_t> Variant::AsInteger() const {
  switch (type_) {
    case VarType::I2:
    case VarType::I4:
    case VarType::Int:
    case VarType::I8:
    case VarType::UI1:
    case VarType::Bool:
    case VarType::Error:
      return integer_;
    default:
      return std::nullopt;
  }
}

std::optional<double> Variant::AsDouble() const {
  if (type_ == VarType::R8 || type_ == VarType::R4) return real_;
  if (auto integer = AsInteger()) return static_cast<double>(*integer);
  return std::nullopt;
}

}  // namespace mirdane
