// Reading a custom property of the host's release data or setup data: the
// same rule on both sides.
#pragma once

#include <memory>
#include <string>

#include "host/host_objects.h"

namespace mirdane {

// The custom property that names the library holding both bridge tables.
inline constexpr char16_t kServerApiLibrary[] = u"serverAPILibrary";
// The custom property that switches the release ledger on ("1"; off when
// absent or anything else).
inline constexpr char16_t kReleaseLedger[] = u"releaseLedger";
inline constexpr char16_t kReleaseLedgerOn[] = u"1";

// Sets `text` to `defaultText`, then to the stored value (an empty one too)
// when the collection, the item and its value can all be read; true then.
template <typename HostData>  // kfx::ReleaseData or kfx::ReleaseSetupData
bool ReadCustomProperty(HostData& data, const std::u16string& name, std::u16string* text,
                        const std::u16string& defaultText) {
  *text = defaultText;
  std::shared_ptr<kfx::CustomProperties> properties;
  if (data.get_CustomProperties(&properties) != hr::kOk || !properties) return false;
  std::shared_ptr<kfx::CustomProperty> property;
  if (properties->get_Item(Variant::Text(name), &property) != hr::kOk || !property) return false;
  std::u16string value;
  if (property->get_Value(&value) != hr::kOk) return false;
  *text = std::move(value);
  return true;
}

}  // namespace mirdane
