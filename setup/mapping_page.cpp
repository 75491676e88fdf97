#include "setup/mapping_page.h"

#include <algorithm>

#include "base/format.h"

namespace mirdane {
namespace {

using hr::kOk;

constexpr char16_t kHeaderGroup[] = u"UAGYCPP - Transaction Header";
constexpr char16_t kLineGroup[] = u"UAG0CPP - Charge line";
constexpr char16_t kOtherGroup[] = u"Other Details";

bool IsSlotIndex(int slot) { return slot >= 0 && slot < CSetupMappingModel::kSlotCount; }

// The command ranges hold 255 index fields and 256 capture values. A longer
// list is cut there, and one greyed entry says how many are left out, so that
// the menu never offers an entry whose command could not reach the page.
MenuItem NotListed(std::size_t left_out) {
  MenuItem note;
  note.text = FormatText(u"(%u more not listed)", {static_cast<unsigned long long>(left_out)});
  note.enabled = false;
  return note;
}

}  // namespace

bool IsMappingMenuCommand(int command) {
  return command == kCommandTextConstant || command == kCommandNoMapping ||
         (command >= kCommandFirstCaptureValue &&
          command < kCommandFirstCaptureValue + kCaptureValueCommandCount) ||
         (command > kCommandIndexFieldBase &&
          command <= kCommandIndexFieldBase + kIndexFieldCommandCount);
}

const XAFieldEntry* MappedRow::entry() const {
  if (!IsSlotIndex(slot_)) return nullptr;
  return &page_.model().slots()[static_cast<std::size_t>(slot_)];
}

XAFieldEntry* MappedRow::MutableEntry() {
  if (!IsSlotIndex(slot_)) return nullptr;
  return &page_.model().slots()[static_cast<std::size_t>(slot_)];
}

bool MappedRow::BindToSlot(int slot) {
  if (!IsSlotIndex(slot)) return false;
  slot_ = slot;
  if (entry()->group == kGroupSpare) return false;
  RefreshRow();
  return true;
}

void MappedRow::RefreshRow() {
  const XAFieldEntry* slot = entry();
  if (!slot) return;
  editable_ = slot->sourceType == kfx::KFX_REL_TEXTCONSTANT;
  name_ = page_.displayFieldNames() ? slot->identifier : slot->caption;
  value_ = slot->source;
  description_ = FormatText(u"%s - %s\n%s", {slot->identifier, slot->sqlType, slot->note});
}

bool MappedRow::EndEdit(const std::u16string& value) {
  XAFieldEntry* slot = MutableEntry();
  if (!slot || slot->sourceType != kfx::KFX_REL_TEXTCONSTANT) return false;
  slot->source = value;
  value_ = value;
  return true;
}

bool MappedRow::required() const {
  const XAFieldEntry* slot = entry();
  return slot && slot->required;
}

void MappingPage::BuildRows() {
  groups_.clear();
  menuTarget_ = nullptr;
  std::vector<RowGroup> built(3);
  built[0].title = kHeaderGroup;
  built[1].title = kLineGroup;
  built[2].title = kOtherGroup;
  for (int slot = 0; slot < CSetupMappingModel::kSlotCount; ++slot) {
    auto row = std::make_unique<MappedRow>(*this);
    if (!row->BindToSlot(slot)) continue;
    const std::int32_t group = row->entry()->group;
    const std::size_t at = group == kGroupTransactionHeader ? 0 : group == kGroupChargeLine ? 1 : 2;
    built[at].rows.push_back(std::move(row));
  }
  for (auto& group : built) {
    if (!group.rows.empty()) groups_.push_back(std::move(group));
  }
}

MappedRow* MappingPage::FindRow(int slot) const {
  for (const auto& group : groups_) {
    for (const auto& row : group.rows) {
      if (row->slot() == slot) return row.get();
    }
  }
  return nullptr;
}

void MappingPage::SetDisplayFieldNames(bool display) {
  displayFieldNames_ = display;
  for (auto& group : groups_) {
    for (auto& row : group.rows) row->RefreshRow();
  }
}

std::optional<MenuItem> MappingPage::OpenMenu(MappedRow& row) {
  const XAFieldEntry* slot = row.entry();
  if (!slot) return std::nullopt;

  MenuItem menu;
  menu.items.push_back({u"Text Constant", kCommandTextConstant,
                        slot->sourceType == kfx::KFX_REL_TEXTCONSTANT, true, {}});
  menu.items.push_back({u"No Mapping", kCommandNoMapping, slot->sourceType == kNotMapped, true, {}});

  std::shared_ptr<kfx::IndexFields> fields;
  kfx::ReleaseSetupData* data = model_.setupData();
  if (data && data->get_IndexFields(&fields) == kOk && fields) {
    MenuItem submenu{u"Document Index Fields", 0, false, true, {}};
    std::int32_t count = 0;
    if (fields->get_Count(&count) != kOk || count < 0) count = 0;
    const std::int32_t listed = std::min(count, kIndexFieldCommandCount);
    for (std::int32_t i = 1; i <= listed; ++i) {
      std::shared_ptr<kfx::IndexField> field;
      std::u16string name;
      if (fields->get_Item(Variant::I4(i), &field) != kOk || !field) continue;
      if (field->get_Name(&name) != kOk) continue;
      const bool checked = slot->sourceType == kfx::KFX_REL_INDEXFIELD && slot->source == name;
      submenu.items.push_back({name, kCommandIndexFieldBase + i, checked, true, {}});
    }
    if (count > listed) submenu.items.push_back(NotListed(static_cast<std::size_t>(count - listed)));
    menu.items.push_back(std::move(submenu));  // even when it has no entries
  }

  const auto& names = model_.captureValueNames;
  if (!names.empty()) {
    MenuItem submenu{u"Kofax Capture Values", 0, false, true, {}};
    const std::size_t listed = std::min(names.size(), std::size_t{kCaptureValueCommandCount});
    for (std::size_t n = 0; n < listed; ++n) {
      // Never checked: the slot's source may equal an index field's name too.
      submenu.items.push_back({names[n], kCommandFirstCaptureValue + static_cast<int>(n), false, true, {}});
    }
    if (names.size() > listed) submenu.items.push_back(NotListed(names.size() - listed));
    menu.items.push_back(std::move(submenu));
  }

  menuTarget_ = &row;
  return menu;
}

bool MappingPage::MapToIndexField(XAFieldEntry& slot, int position) {
  kfx::ReleaseSetupData* data = model_.setupData();
  std::shared_ptr<kfx::IndexFields> fields;
  if (!data || data->get_IndexFields(&fields) != kOk || !fields) return false;
  std::shared_ptr<kfx::IndexField> field;
  if (fields->get_Item(Variant::I4(position), &field) != kOk || !field) return false;
  std::u16string name;
  if (field->get_Name(&name) != kOk) return false;
  slot.source = std::move(name);
  slot.sourceType = kfx::KFX_REL_INDEXFIELD;
  return true;
}

void MappingPage::OnCommand(int command) {
  if (!menuTarget_) return;
  XAFieldEntry* slot = menuTarget_->MutableEntry();
  if (!slot) return;
  if (command == kCommandNoMapping) {
    slot->source.clear();
    slot->sourceType = kNotMapped;
  } else if (command == kCommandTextConstant) {
    slot->source.clear();  // a constant already there is cleared too
    slot->sourceType = kfx::KFX_REL_TEXTCONSTANT;
  } else if (command >= kCommandFirstCaptureValue &&
             command < kCommandFirstCaptureValue + kCaptureValueCommandCount) {
    const auto n = static_cast<std::size_t>(command - kCommandFirstCaptureValue);
    if (n < model_.captureValueNames.size()) {
      slot->source = model_.captureValueNames[n];
      slot->sourceType = kfx::KFX_REL_VARIABLE;
    }
  } else if (command > kCommandIndexFieldBase &&
             command <= kCommandIndexFieldBase + kIndexFieldCommandCount) {
    MapToIndexField(*slot, command - kCommandIndexFieldBase);  // ignored when it cannot be fetched
  } else {
    return;  // not a menu command
  }
  menuTarget_->RefreshRow();
  menuTarget_ = nullptr;
}

}  // namespace mirdane
