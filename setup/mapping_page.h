// The Data Mapping page without its window: one row per bridge column in two
// groups, what each row shows, the mapping menu and its commands. The Windows
// page draws these rows in a property grid and routes its menu here.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "setup/setup_mapping_model.h"

namespace mirdane {

// Commands of the mapping menu and the page.
inline constexpr int kCommandTextConstant = 32777;
inline constexpr int kCommandNoMapping = 32779;
inline constexpr int kCommandFirstCaptureValue = 28160;  // + n for capture value n (0 to 255)
inline constexpr int kCaptureValueCommandCount = 256;
inline constexpr int kCommandIndexFieldBase = 28416;     // + i for index field i (1 to 255)
inline constexpr int kIndexFieldCommandCount = 255;
inline constexpr int kControlDisplayFieldNames = 11058;

// Whether `command` is one of the mapping menu's: 32777, 32779, 28160 + n
// (n = 0 to 255) or 28416 + i (i = 1 to 255).
bool IsMappingMenuCommand(int command);

// One entry of the mapping menu, or a submenu when it has items.
struct MenuItem {
  std::u16string text;
  int command = 0;   // 0 for a submenu or a note that cannot be chosen
  bool checked = false;
  bool enabled = true;
  std::vector<MenuItem> items;
};

class MappingPage;

// One grid row: a catalogue slot as the grid shows it.
class MappedRow {
 public:
  explicit MappedRow(MappingPage& page) : page_(page) {}
  MappedRow(const MappedRow&) = delete;
  MappedRow& operator=(const MappedRow&) = delete;

  // Takes slot `slot`; false for an index outside 0 to 84 or a spare slot.
  bool BindToSlot(int slot);
  // Shows the slot's current state: name, value, description, editability.
  void RefreshRow();
  // Stores the text typed into the value cell; only a text constant can be edited.
  bool EndEdit(const std::u16string& value);

  // The bound slot, or -1.
  int slot() const { return slot_; }
  // The bound slot's entry, or null.
  const XAFieldEntry* entry() const;
  // The row's name: the caption, or the identifier when field names are displayed.
  const std::u16string& name() const { return name_; }
  // The mapped source, empty when not mapped.
  const std::u16string& value() const { return value_; }
  // "identifier - SQL type", a line break, and the note.
  const std::u16string& description() const { return description_; }
  // Whether the value cell takes typing (text constants only).
  bool editable() const { return editable_; }
  // Whether the name is drawn in the colour of a required column.
  bool required() const;

 private:
  XAFieldEntry* MutableEntry();

  MappingPage& page_;
  int slot_ = -1;
  std::u16string name_;
  std::u16string value_;
  std::u16string description_;
  bool editable_ = false;

  friend class MappingPage;
};

// The rows of one grid group.
struct RowGroup {
  std::u16string title;
  std::vector<std::unique_ptr<MappedRow>> rows;
};

class MappingPage {
 public:
  // A page over `model`, which must outlive it.
  explicit MappingPage(CSetupMappingModel& model) : model_(model) {}
  MappingPage(const MappingPage&) = delete;
  MappingPage& operator=(const MappingPage&) = delete;

  // Builds one row per defined slot, grouped by table; empty groups are left out.
  void BuildRows();
  // The groups in grid order.
  const std::vector<RowGroup>& groups() const { return groups_; }
  // The row of slot `slot`, or null.
  MappedRow* FindRow(int slot) const;

  // Whether row names are identifiers rather than captions.
  bool displayFieldNames() const { return displayFieldNames_; }
  // Switches between captions and identifiers as row names and refreshes every row.
  void SetDisplayFieldNames(bool display);

  // The menu of `row`'s button, with the check marks of its mapping; the row
  // becomes the menu's target. Nothing for a row without a slot.
  std::optional<MenuItem> OpenMenu(MappedRow& row);
  // The row whose menu is open, or null.
  MappedRow* menuTarget() const { return menuTarget_; }
  // Carries out a menu command on the menu's target; nothing without a target.
  void OnCommand(int command);

  // The model the rows show.
  CSetupMappingModel& model() const { return model_; }

 private:
  bool MapToIndexField(XAFieldEntry& slot, int position);

  CSetupMappingModel& model_;
  std::vector<RowGroup> groups_;
  bool displayFieldNames_ = false;
  MappedRow* menuTarget_ = nullptr;
};

}  // namespace mirdane
