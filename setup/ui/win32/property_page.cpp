#include "setup/ui/win32/property_page.h"

#include <span>

#include "ui/dialog_template.h"

namespace mirdane::ui {

bool PropertyPage::LoadTemplate() {
  HRSRC found = ::FindResourceW(resources_, MAKEINTRESOURCEW(templateId_),
                                MAKEINTRESOURCEW(5));  // RT_DIALOG
  if (!found) return false;
  HGLOBAL loaded = ::LoadResource(resources_, found);
  const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(loaded));
  const DWORD size = ::SizeofResource(resources_, found);
  if (!bytes || size == 0) return false;
  const std::span<const std::uint8_t> original(bytes, size);
  const auto info = ReadDialogTemplate(original);
  auto child = MakeChildPageTemplate(original);
  if (!info || !child) return false;
  title_ = info->caption;
  childTemplate_ = std::move(*child);
  return true;
}

void PropertyPage::Place(HWND sheet, const RECT& area, HWND previous) {
  sheet_ = sheet;
  area_ = area;
  previous_ = previous;
}

bool PropertyPage::CreatePage() {
  if (childTemplate_.empty() || !sheet_) return false;
  if (!CreateIndirect(resources_, reinterpret_cast<const DLGTEMPLATE*>(childTemplate_.data()),
                      sheet_)) {
    return false;
  }
  ::SetWindowPos(hwnd_, previous_ ? previous_ : HWND_TOP, area_.left, area_.top,
                 area_.right - area_.left, area_.bottom - area_.top, SWP_NOACTIVATE);
  return true;
}

void PropertyPage::ShowPage(bool show) {
  if (hwnd_) ::ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
}

}  // namespace mirdane::ui
