#include "component/setup_sheet_factory.h"

#include <windows.h>

#include "component/module_strings.h"
#include "component/resource_ids.h"

namespace mirdane::component {
namespace {

// Until the General and Data Mapping pages are drawn by the module, the
// setup tells the administrator so and changes nothing.
class UnavailableSetupSheet final : public SetupSheet {
 public:
  SheetResult Run(const std::u16string& caption, CSetupMappingModel&) override {
    const std::u16string text =
        u"The setup pages are not part of this build of mirdane.dll. Use 'mirdane setup edit' "
        u"to change the export setup.";
    ::MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
                  reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK | MB_ICONINFORMATION);
    return SheetResult::kCancel;
  }
};

}  // namespace

std::shared_ptr<SetupSheet> CreateSetupSheet() { return std::make_shared<UnavailableSetupSheet>(); }

}  // namespace mirdane::component
