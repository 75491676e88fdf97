// Measuring and laying out a task dialog: every control's rectangle in
// pixels, converted to dialog units in the in-memory template.
#pragma once

#include <string_view>

#include "base/hresult.h"
#include "ui/taskdialog/common_buttons.h"
#include "ui/taskdialog/dpi_scale.h"
#include "ui/taskdialog/task_dialog_config.h"
#include "ui/taskdialog/task_dialog_texts.h"
#include "ui/taskdialog/text_measurer.h"
#include "ui/dialog_template.h"

namespace mirdane::taskdialog {

// What the layout asks of the screen.
struct LayoutEnvironment {
  TextMeasurer* measurer = nullptr;
  int monitorWidth = 0;  // the monitor nearest the owner, or the primary screen
  ui::DialogBaseUnits baseUnits;
  bool hasMainIcon = false;
  bool hasFooterIcon = false;
  // The screen's DPI, as its fonts are measured: the fixed paddings, margins
  // and icon sizes (given at 96) grow with it as the text does.
  int dpi = kBaseDpi;
};

// The result of MeasureButtons; -1 where nothing was measured.
struct ButtonMetrics {
  int buttonWidth = -1;
  int buttonHeight = -1;
  int expandoWidth = -1;
  int idCounter = 0;  // the highest id of any button or radio button
};

// The ids of the dialog's own controls; -1 when a control does not exist.
struct ControlIds {
  int defaultControl = -1;
  int mainIcon = -1;
  int mainInstruction = -1;
  int content = -1;
  int progressBar = -1;
  int footerIcon = -1;
  int footerText = -1;
  int verification = -1;
  int expandedInformation = -1;
  int expandoButton = -1;
};

// The rows where the grey bands begin, in client pixels; -1 = none.
struct Separators {
  int first = -1;
  int second = -1;
  int third = -1;
  bool operator==(const Separators&) const = default;
};

struct TaskDialogLayout {
  ui::DialogTemplate dialog;
  ControlIds ids;
  Separators separators;
  ButtonMetrics buttons;
  // The common buttons in the row, by id. The dialog's own controls are
  // numbered from above the highest button id, so an absent common button's
  // id may belong to one of them: only these ids are common buttons.
  std::vector<int> commonButtonIds;
  bool expanded = false;
  std::vector<ui::PixelRect> pixelRects;  // each item's rectangle in pixels, as converted
};

// The widths and heights of the push buttons and the expando button, and the
// id counter; the margins around the texts are those of `dpi`.
ButtonMetrics MeasureButtons(const TaskDialogConfig& config, const TaskDialogTexts& texts,
                             const CommonButtonTable& common, TextMeasurer& measurer, int limit,
                             int dpi = kBaseDpi);

// The height of a command link whose note wraps at `width`, with the margins of `dpi`.
int MeasureCommandLink(TextMeasurer& measurer, std::u16string_view text, int width,
                       int dpi = kBaseDpi);

// Lays out `config` with its loaded texts; E_OUTOFMEMORY when a control
// cannot be added.
HRESULT LayOutTaskDialog(const TaskDialogConfig& config, const TaskDialogTexts& texts,
                         const CommonButtonTable& common, const LayoutEnvironment& environment,
                         TaskDialogLayout& layout);

}  // namespace mirdane::taskdialog
