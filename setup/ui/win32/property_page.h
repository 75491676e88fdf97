// A page of the setup sheet: a dialog from the module's resources, created
// as a control of the sheet the first time it is shown, titled by its
// template's caption.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/ui/sheet_controller.h"
#include "win32/window.h"

namespace mirdane::ui {

class PropertyPage : public win32::DialogWindow, public SheetPage {
 public:
  // The page of dialog resource `templateId` in `resources`.
  PropertyPage(HINSTANCE resources, int templateId)
      : resources_(resources), templateId_(templateId) {}

  // Reads the page's template; false when the module does not carry it.
  bool LoadTemplate();
  // The title the sheet lists the page under.
  const std::u16string& title() const { return title_; }
  // Where the page goes once created: in `sheet`, over `area`, after `previous` in tab order.
  void Place(HWND sheet, const RECT& area, HWND previous);

  bool CreatePage() override;
  bool IsCreated() const override { return hwnd_ != nullptr; }
  void ShowPage(bool show) override;
  // A page takes being shown and lets itself be left unless it says otherwise.
  bool OnSetActive() override { return true; }
  bool OnKillActive() override { return true; }
  void OnOK() override {}

 protected:
  HINSTANCE resources() const { return resources_; }

 private:
  HINSTANCE resources_;
  int templateId_;
  std::u16string title_;
  std::vector<std::uint8_t> childTemplate_;
  HWND sheet_ = nullptr;
  HWND previous_ = nullptr;
  RECT area_{};
};

}  // namespace mirdane::ui
