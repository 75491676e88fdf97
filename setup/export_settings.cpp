#include "setup/export_settings.h"

#include "setup/setup_mapping_model.h"

namespace mirdane {
namespace {

using hr::kOk;

struct FixedLink {
  const char16_t* source;
  std::int32_t sourceType;
  const char16_t* destination;
};

// Every saved setup carries these: the release finds the file a document was
// imported from through them.
constexpr FixedLink kFixedLinks[] = {
    {u"OriginalFolder", kfx::KFX_REL_BATCHFIELD, u"OriginalFolder"},
    {u"First Page Original File Name", kfx::KFX_REL_VARIABLE, u"OriginalFileName"},
    {u"OriginalFileNameExt", kfx::KFX_REL_BATCHFIELD, u"OriginalFileNameExt"},
};

bool IsStored(const XAFieldEntry& slot) {
  return slot.sourceType != kNotMapped && !slot.source.empty();
}

}  // namespace

bool CSetupMappingModel::LoadLinks() {
  for (auto& slot : slots_) {
    slot.source.clear();
    slot.sourceType = kNotMapped;
  }
  if (!setupData_) return false;
  std::shared_ptr<kfx::Links> links;
  if (setupData_->get_Links(&links) != kOk || !links) return false;
  std::int32_t count = 0;
  if (links->get_Count(&count) != kOk) return false;
  for (std::int32_t i = 1; i <= count; ++i) {
    std::shared_ptr<kfx::Link> link;
    if (links->get_Item(Variant::I4(i), &link) != kOk || !link) continue;
    std::u16string destination;
    if (link->get_Destination(&destination) != kOk) continue;
    // The fixed links and links of older or foreign setups name no slot.
    const int index = FindByIdentifier(destination);
    if (index < 0) continue;
    std::u16string source;
    std::int32_t sourceType = kNotMapped;
    link->get_Source(&source);          // unchecked: a failure leaves it empty
    link->get_SourceType(&sourceType);  // unchecked: a failure leaves it unmapped
    auto& slot = slots_[static_cast<std::size_t>(index)];
    slot.source = std::move(source);  // a later link to the same column wins
    slot.sourceType = sourceType;
  }
  return true;
}

bool CSetupMappingModel::SaveLinks() {
  if (!setupData_) return false;
  std::shared_ptr<kfx::Links> links;
  if (setupData_->get_Links(&links) != kOk || !links) return false;
  // Emptying first keeps the fixed links from piling up and drops links that
  // name no column of the catalogue.
  if (links->RemoveAll() != kOk) return false;
  for (const auto& slot : slots_) {
    // A spare slot has group 2 and no identifier; it never gets a link.
    if (slot.group == kGroupSpare || slot.identifier.empty() || !IsStored(slot)) continue;
    links->Add(slot.source, slot.sourceType, slot.identifier);  // unchecked
  }
  for (const auto& fixed : kFixedLinks) {
    links->Add(fixed.source, fixed.sourceType, fixed.destination);  // unchecked
  }
  return true;
}

bool CSetupMappingModel::LoadCaptureValueNames() {
  captureValueNames.clear();
  if (!setupData_) return false;
  std::shared_ptr<Object> names;
  if (setupData_->get_BatchVariableNames(&names) != kOk || !names) return false;
  std::shared_ptr<Object> collection;
  if (names->QueryInterface(kfx::VariableNames::kInterfaceId, &collection) != kOk &&
      names->QueryInterface(kfx::VariableNames::kAlternateInterfaceId, &collection) != kOk) {
    return false;
  }
  auto variableNames = std::dynamic_pointer_cast<kfx::VariableNames>(collection);
  if (!variableNames) return false;
  std::shared_ptr<Object> enumerator;
  if (variableNames->get__NewEnum(&enumerator) != kOk) return false;
  std::shared_ptr<kfx::EnumVariant> elements;
  if (QueryInterfaceAs(enumerator, &elements) != kOk) return false;
  // Anything but S_OK ends the enumeration: S_FALSE when it is done, or a failure.
  Variant element;
  while (elements->Next(&element) == kOk) {
    if (const auto* text = element.AsText()) captureValueNames.push_back(*text);
    element = Variant();
  }
  return true;
}

bool WriteCustomProperty(kfx::ReleaseSetupData& data, const std::u16string& name,
                         const std::u16string& value) {
  if (name.empty()) return false;
  std::shared_ptr<kfx::CustomProperties> properties;
  if (data.get_CustomProperties(&properties) != kOk || !properties) return false;
  // Unchecked: a property that does not exist yet cannot be removed, and is simply added.
  properties->Remove(Variant::Text(name));
  return properties->Add(name, value) == kOk;
}

bool RemoveCustomProperty(kfx::ReleaseSetupData& data, const std::u16string& name) {
  if (name.empty()) return false;
  std::shared_ptr<kfx::CustomProperties> properties;
  if (data.get_CustomProperties(&properties) != kOk || !properties) return false;
  return properties->Remove(Variant::Text(name)) == kOk;
}

}  // namespace mirdane
