// The mapping menu of a grid row, from the page's menu data: the check
// marks of the menu resource's own entries, and the submenus of document
// index fields and Kofax Capture Values appended after them.
#pragma once

#include <windows.h>

#include <string>

#include "setup/mapping_page.h"

namespace mirdane::ui {

// Completes `popup` (the menu resource's first submenu) from `menu`.
void CompleteMappingMenu(HMENU popup, const MenuItem& menu);

// A name as a menu shows it literally: an ampersand is doubled, so that it
// is not taken for the mark of a mnemonic.
std::u16string MenuText(const std::u16string& name);

}  // namespace mirdane::ui
