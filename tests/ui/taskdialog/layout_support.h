// Building configurations and layouts for the layout tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/taskdialog/task_dialog_layout.h"
#include "tests/ui/taskdialog/fixed_measurer.h"

namespace mirdane::taskdialog::test {

using ui::DialogItem;
using ui::PixelRect;
using ui::DialogBaseUnits;

// A string table of one module.
class MapStrings : public StringSource {
 public:
  std::map<unsigned, std::u16string> strings;
  HRESULT FindString(std::uintptr_t, unsigned id, std::u16string& text) const override {
    const auto found = strings.find(id);
    if (found == strings.end()) return FailureFromWin32(1814);  // resource name not found
    text = found->second;
    return hr::kOk;
  }
};

inline std::uintptr_t Text(const char16_t* text) { return reinterpret_cast<std::uintptr_t>(text); }

// A configuration with its button arrays kept alive.
struct Config {
  TaskDialogConfig config;
  std::vector<TaskDialogButton> buttons;
  std::vector<TaskDialogButton> radios;

  Config() { config.cbSize = sizeof(TaskDialogConfig); }
  void Button(int id, const char16_t* text) {
    buttons.push_back({id, Text(text)});
    config.pButtons = buttons.data();
    config.cButtons = static_cast<std::uint32_t>(buttons.size());
  }
  void Radio(int id, const char16_t* text) {
    radios.push_back({id, Text(text)});
    config.pRadioButtons = radios.data();
    config.cRadioButtons = static_cast<std::uint32_t>(radios.size());
  }
};

// Lays out a configuration with the fixed measurer.
struct Laid {
  FixedMeasurer measurer;
  TaskDialogTexts texts;
  TaskDialogLayout layout;
  HRESULT result = hr::kFail;

  const DialogItem& Item(int id) const {
    for (const DialogItem& item : layout.dialog.items)
      if (item.id == id) return item;
    throw std::runtime_error("no item with id " + std::to_string(id));
  }
  PixelRect Rect(int id) const {
    for (std::size_t i = 0; i < layout.dialog.items.size(); ++i)
      if (layout.dialog.items[i].id == id) return layout.pixelRects[i];
    throw std::runtime_error("no item with id " + std::to_string(id));
  }
};

inline void LayOut(const Config& c, Laid& laid, bool mainIcon = false, bool footerIcon = false,
                   DialogBaseUnits base = {8, 16}, int monitorWidth = 1024,
                   int dpi = kBaseDpi) {
  MapStrings strings;
  const HRESULT loaded = LoadTaskDialogTexts(c.config, strings, u"host.exe", laid.texts);
  if (Failed(loaded)) {
    laid.result = loaded;
    return;
  }
  LayoutEnvironment environment;
  environment.measurer = &laid.measurer;
  environment.monitorWidth = monitorWidth;
  environment.baseUnits = base;
  environment.hasMainIcon = mainIcon;
  environment.hasFooterIcon = footerIcon;
  environment.dpi = dpi;
  laid.result =
      LayOutTaskDialog(c.config, laid.texts, DefaultCommonButtons(), environment, laid.layout);
}

}  // namespace mirdane::taskdialog::test
