// Controls whose text the machine's font makes wider than the control the
// dialog resource gives them. The dialog units of the pages were chosen for
// one font; with another (a different Tahoma, another DPI) a label would be
// cut or wrap out of sight. These grow such controls just enough, keeping
// where their text is anchored.
#pragma once

#include <windows.h>

namespace mirdane::ui {

// Right-aligned labels grow to the left, as far as the page's margin, and
// then to the right into the gap before the control that follows them.
void FitLabelsToText(HWND page);

// A check box grows to the right to show its whole text, within the page.
void FitCheckBoxToText(HWND checkBox);

}  // namespace mirdane::ui
