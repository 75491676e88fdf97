// Shorthands for members that pass a host call through.
#pragma once

#include <memory>

#include "tools/com_host/automation_object.h"

namespace mirdane::hostcom {

// A text property read from the host object.
template <typename Host, typename Getter>
MemberBody TextGetter(std::shared_ptr<Host> host, Getter getter) {
  return [host, getter](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
    if (!args.empty()) return DISP_E_BADPARAMCOUNT;
    std::u16string text;
    if (const ::HRESULT r = ((*host).*getter)(&text); r != S_OK) return r;
    return ReturnText(text, result);
  };
}

// A count or number property read from the host object.
template <typename Host, typename Getter>
MemberBody LongGetter(std::shared_ptr<Host> host, Getter getter) {
  return [host, getter](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
    if (!args.empty()) return DISP_E_BADPARAMCOUNT;
    std::int32_t value = 0;
    if (const ::HRESULT r = ((*host).*getter)(&value); r != S_OK) return r;
    return ReturnLong(value, result);
  };
}

// A text property assigned on the host object.
template <typename Host, typename Putter>
MemberBody TextPutter(std::shared_ptr<Host> host, Putter putter) {
  return [host, putter](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
    if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
    const auto* text = args[0].AsText();
    if (!text) return DISP_E_TYPEMISMATCH;
    return ((*host).*putter)(*text);
  };
}

// The text of argument `index`, or null when it is not a text.
inline const std::u16string* TextArg(const std::vector<Variant>& args, std::size_t index) {
  return index < args.size() ? args[index].AsText() : nullptr;
}

// The 4-byte integer of argument `index`.
inline bool LongArg(const std::vector<Variant>& args, std::size_t index, std::int32_t* value) {
  if (index >= args.size()) return false;
  const auto number = args[index].AsInteger();
  if (!number || args[index].type() == VarType::BStr) return false;
  *value = static_cast<std::int32_t>(*number);
  return true;
}

// Makes a new automation object of type T over `host`, or fails as `got` did.
template <typename T, typename Host>
::HRESULT ReturnWrapped(::HRESULT got, std::shared_ptr<Host> host, VARIANT* result) {
  if (got != S_OK) return got;
  if (!host) return E_POINTER;
  return ReturnObject(new (std::nothrow) T(std::move(host)), result);
}

}  // namespace mirdane::hostcom
