// The texts of a task dialog: how a configuration names them (0, a pointer,
// or a string resource id), the link markup the layout leaves out, and every
// text of one configuration loaded once before the layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/hresult.h"
#include "ui/taskdialog/task_dialog_config.h"

namespace mirdane::taskdialog {

// A module's string table.
class StringSource {
 public:
  virtual ~StringSource() = default;
  // The string `id` of the module `instance`; a failure code when it is missing.
  virtual HRESULT FindString(std::uintptr_t instance, unsigned id, std::u16string& text) const = 0;
};

// The platform's HRESULT_FROM_WIN32 as the dialog uses it: 0x80070000 with
// the error in the low 16 bits, so that even error 0 stays a failure.
constexpr HRESULT FailureFromWin32(std::uint32_t error) {
  return hr::FromBits(0x80070000u | (error & 0xFFFFu));
}

// Whether a text or icon value is a resource id rather than a pointer.
constexpr bool IsResourceId(std::uintptr_t value) { return value <= 0xFFFF; }

// A text as the configuration names it: 0 is empty, a value above 0xFFFF a
// pointer to UTF-16 text, any other value a string id of `instance`.
HRESULT LoadText(const StringSource& strings, std::uintptr_t instance, std::uintptr_t value,
                 std::u16string& text);

// `text` without the upper-case link tags "<A HREF=...>" and "</A>".
std::u16string RemoveLinkMarkup(std::u16string_view text);

// A text shown in a control that may take links: what the control receives
// and what the layout measures.
struct LinkedText {
  std::u16string raw;
  std::u16string display;
};

// One button or radio button with its loaded text.
struct ButtonText {
  int id = 0;
  std::u16string text;
};

// Every text of one configuration.
struct TaskDialogTexts {
  std::u16string windowTitle;
  std::u16string mainInstruction;
  LinkedText content;
  LinkedText expandedInformation;
  std::u16string expandedControlText;
  std::u16string collapsedControlText;
  std::u16string verification;
  LinkedText footer;
  std::vector<ButtonText> buttons;
  std::vector<ButtonText> radioButtons;
};

// Loads every text of `config`, stopping at the first failure. An empty
// window title becomes `executableName` (the process's file name with its
// extension); display texts lose their link markup under TDF_ENABLE_HYPERLINKS.
HRESULT LoadTaskDialogTexts(const TaskDialogConfig& config, const StringSource& strings,
                            std::u16string_view executableName, TaskDialogTexts& texts);

// Splits a command link's text at the first line break: its title and its note.
struct CommandLinkParts {
  std::u16string_view title;
  std::u16string_view note;
  bool hasNote = false;
};
CommandLinkParts SplitCommandLink(std::u16string_view text);

}  // namespace mirdane::taskdialog
