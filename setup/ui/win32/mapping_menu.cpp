#include "setup/ui/win32/mapping_menu.h"

#include "ui/win32/ui_text.h"
#include "win32/gdi.h"
#include "win32/user_handles.h"

namespace mirdane::ui {
namespace {

// The menu flags are long constants; menus take them as UINT.
UINT Flags(long flags) { return static_cast<UINT>(flags); }

UINT EntryFlags(const MenuItem& item) {
  return Flags(MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
               (item.enabled ? MF_ENABLED : MF_GRAYED));
}

bool IsSubmenu(const MenuItem& item) { return item.command == 0 && item.enabled; }

}  // namespace

std::u16string MenuText(const std::u16string& name) {
  std::u16string text;
  text.reserve(name.size());
  for (const char16_t c : name) {
    if (c == u'&') text.push_back(u'&');
    text.push_back(c);
  }
  return text;
}

void CompleteMappingMenu(HMENU popup, const MenuItem& menu) {
  for (const MenuItem& item : menu.items) {
    if (item.command == kCommandTextConstant || item.command == kCommandNoMapping) {
      // The resource's own entries: only their check marks come from the data.
      ::CheckMenuItem(popup, static_cast<UINT>(item.command),
                      Flags(MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED)));
      continue;
    }
    if (!IsSubmenu(item)) continue;
    win32::UniqueHMenu submenu(::CreatePopupMenu());
    if (!submenu) continue;
    for (const MenuItem& entry : item.items) {
      ::AppendMenuW(submenu.get(), EntryFlags(entry), static_cast<UINT_PTR>(entry.command),
                    Wide(MenuText(entry.text)));
    }
    // Once appended, the menu owns the submenu and destroys it with itself.
    if (::AppendMenuW(popup, Flags(MF_POPUP | MF_STRING),
                      reinterpret_cast<UINT_PTR>(submenu.get()), Wide(MenuText(item.text)))) {
      submenu.release();
    }
  }
}

}  // namespace mirdane::ui
