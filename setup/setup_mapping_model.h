// The setup-time model: the catalogue of bridge columns that the setup offers
// for mapping, each slot with its current mapping.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/host_objects.h"

namespace mirdane {

// The groups a slot belongs to.
inline constexpr std::int32_t kGroupTransactionHeader = 0;  // UAGYCPP
inline constexpr std::int32_t kGroupChargeLine = 1;         // UAG0CPP
inline constexpr std::int32_t kGroupSpare = 2;              // never shown, never linked

// The sourceType of a slot that is not mapped.
inline constexpr std::int32_t kNotMapped = -1;

struct XAFieldEntry {
  std::u16string source;                 // mapped index field, capture value or constant text
  std::int32_t sourceType = kNotMapped;  // the host's link source type, or -1
  std::int32_t group = kGroupSpare;
  std::u16string caption;
  std::u16string identifier;  // "UAGYCPP.GYABNT": the destination of the host link
  std::u16string note;
  std::u16string sqlType;     // shown only, never parsed
  bool required = false;
};

class CSetupMappingModel {
 public:
  static constexpr int kSlotCount = 85;  // 80 columns and 5 spare slots
  static constexpr int kCatalogueSize = 80;

  // A model over the setup script's setup data, which it uses but does not own.
  explicit CSetupMappingModel(kfx::ReleaseSetupData* setupData = nullptr) : setupData_(setupData) {}

  // Sets the fixed fields of slot `index` (0 to 84), leaving its mapping alone.
  // False, and nothing changed, for any other index.
  bool DefineField(int index, std::int32_t group, const std::u16string& identifier,
                   const std::u16string& caption, const std::u16string& note,
                   const std::u16string& sqlType, bool required);
  // Defines slots 0 to 79 with the Infor XA bridge columns.
  bool BuildCatalogue();
  // The lowest slot whose identifier equals `destination` exactly, or -1.
  int FindByIdentifier(const std::u16string& destination) const;

  // The export settings' links (export_settings.cpp).

  // Unmaps every slot, then maps the slots named by the stored links' destinations.
  bool LoadLinks();
  // Replaces the stored links by one per mapped slot and the three fixed links.
  bool SaveLinks();
  // Fills captureValueNames from the host's batch variable names.
  bool LoadCaptureValueNames();

  // The host's setup data, or null.
  kfx::ReleaseSetupData* setupData() const { return setupData_; }

  std::array<XAFieldEntry, kSlotCount>& slots() { return slots_; }
  const std::array<XAFieldEntry, kSlotCount>& slots() const { return slots_; }

  // The names of the document class's Kofax Capture Values.
  std::vector<std::u16string> captureValueNames;

 private:
  std::array<XAFieldEntry, kSlotCount> slots_{};
  kfx::ReleaseSetupData* setupData_ = nullptr;
};

}  // namespace mirdane
