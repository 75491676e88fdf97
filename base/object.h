// The root of every object reached through a COM-shaped interface in the
// portable core: a counted reference (std::shared_ptr) and a way to ask an
// object for another of its interfaces by interface id.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "base/hresult.h"

namespace mirdane {

// An interface identity, laid out like the platform's GUID.
struct InterfaceId {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend bool operator==(const InterfaceId&, const InterfaceId&) = default;
};

class Object : public std::enable_shared_from_this<Object> {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object() = default;

  // Gives the interface `iid` of this object; the default offers none.
  virtual HRESULT QueryInterface(const InterfaceId& iid, std::shared_ptr<Object>* out);
};

// Asks `object` for interface T (which names its id as T::kInterfaceId).
// Answers the HRESULT of the query; `out` is set only on S_OK.
template <typename T>
HRESULT QueryInterfaceAs(const std::shared_ptr<Object>& object, std::shared_ptr<T>* out) {
  if (!object) return hr::kPointer;
  std::shared_ptr<Object> found;
  const HRESULT result = object->QueryInterface(T::kInterfaceId, &found);
  if (result != hr::kOk) return result;
  auto typed = std::dynamic_pointer_cast<T>(found);
  if (!typed) return hr::kNoInterface;
  *out = std::move(typed);
  return hr::kOk;
}

}  // namespace mirdane
