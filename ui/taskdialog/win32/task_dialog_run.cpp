// The emulated task dialog's run: resources, texts, icons, layout, and the
// modal dialog from the template in memory.
#include <cstddef>
#include <cstring>

#include "ui/taskdialog/stock_icons.h"
#include "ui/taskdialog/task_dialog_constants.h"
#include "ui/taskdialog/taskdialog_resource.h"
#include "ui/taskdialog/win32/gdi_text_measurer.h"
#include "ui/taskdialog/win32/module_resources.h"
#include "ui/taskdialog/win32/task_dialog.h"
#include "win32/kernel_handles.h"
#include "win32/result.h"
#include "win32/window.h"
#include "win32/user_handles.h"

namespace mirdane::taskdialog::win32 {

using ::mirdane::win32::LastErrorResult;
using ::mirdane::win32::UniqueHdc;
using ::mirdane::win32::UniqueHIcon;

// The mirror must be the platform's record byte for byte.
#define MIRDANE_SAME_FIELD(platform, mirror)                                           \
  static_assert(offsetof(TASKDIALOGCONFIG, platform) == offsetof(TaskDialogConfig, mirror), \
                #platform)
static_assert(sizeof(TASKDIALOGCONFIG) == sizeof(TaskDialogConfig));
static_assert(sizeof(TASKDIALOG_BUTTON) == sizeof(TaskDialogButton));
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(TASKDIALOGCONFIG) == 96, "the 32-bit host's record is 96 bytes");
#endif
MIRDANE_SAME_FIELD(hwndParent, hwndParent);
MIRDANE_SAME_FIELD(dwFlags, dwFlags);
MIRDANE_SAME_FIELD(pszWindowTitle, pszWindowTitle);
MIRDANE_SAME_FIELD(pszMainIcon, mainIcon);
MIRDANE_SAME_FIELD(cButtons, cButtons);
MIRDANE_SAME_FIELD(pButtons, pButtons);
MIRDANE_SAME_FIELD(nDefaultRadioButton, nDefaultRadioButton);
MIRDANE_SAME_FIELD(pszFooterIcon, footerIcon);
MIRDANE_SAME_FIELD(pfCallback, pfCallback);
MIRDANE_SAME_FIELD(lpCallbackData, lpCallbackData);
MIRDANE_SAME_FIELD(cxWidth, cxWidth);
static_assert(offsetof(TASKDIALOG_BUTTON, pszButtonText) ==
              offsetof(TaskDialogButton, pszButtonText));
#undef MIRDANE_SAME_FIELD

// The resource script's numbers are the code's.
static_assert(IDS_TD_OK == resource_id::kStringOk && IDS_TD_CLOSE == resource_id::kStringClose);
static_assert(IDI_TD_WARNING == resource_id::kIconWarning &&
              IDI_TD_ARROW == resource_id::kIconArrow &&
              IDI_TD_ARROW_HOT == resource_id::kIconArrowHot &&
              IDI_TD_ERROR == resource_id::kIconError &&
              IDI_TD_INFORMATION == resource_id::kIconInformation &&
              IDI_TD_SHIELD == resource_id::kIconShield);

TaskDialogConfig ToPortable(const TASKDIALOGCONFIG& config) {
  TaskDialogConfig mirror;
  std::memcpy(static_cast<void*>(&mirror), &config, sizeof mirror);
  return mirror;
}

CXTaskDialog::CXTaskDialog() : commonButtons_(DefaultCommonButtons()) {
  // The platform's client-area animation setting, where it has one.
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool newer = GetVersionExW(&version) && version.dwMajorVersion > 5;
#pragma GCC diagnostic pop
  if (newer) {
    BOOL animation = TRUE;
    if (SystemParametersInfoW(0x1042 /* SPI_GETCLIENTAREAANIMATION */, 0, &animation, 0))
      animate_ = animation != FALSE;
  }
}

CXTaskDialog::~CXTaskDialog() = default;

void CXTaskDialog::LoadCommonButtonTexts() {
  taskdialog::LoadCommonButtonTexts(commonButtons_, ModuleStrings(),
                                    reinterpret_cast<std::uintptr_t>(ResourceInstance()));
}

::HRESULT CXTaskDialog::Run(const TASKDIALOGCONFIG* config, int* button, int* radioButton,
                            BOOL* verification) {
  // Out of memory while the texts, the layout or the template are made is a
  // failure like any other; nothing the run throws reaches the caller.
  return ::mirdane::win32::Guarded(
      [&] { return RunGuarded(config, button, radioButton, verification); },
      [](::HRESULT failure) { return failure; });
}

::HRESULT CXTaskDialog::RunGuarded(const TASKDIALOGCONFIG* config, int* button, int* radioButton,
                                   BOOL* verification) {
  if (config == nullptr) return E_INVALIDARG;
  // The link and progress bar classes are the common controls'; a host
  // that never asked for them has them registered here.
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                               ICC_STANDARD_CLASSES | ICC_LINK_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  platformConfig_ = config;
  config_ = ToPortable(*config);
  LoadCommonButtonTexts();
  RETURN_IF_FAILED(LoadResources());
  RETURN_IF_FAILED(LoadTexts());
  RETURN_IF_FAILED(LoadIcons());
  RETURN_IF_FAILED(LayOut());
  const INT_PTR ended = RunTemplate();
  // A dialog that could not be created was never seen: that is a failure,
  // and the caller's results stay as they were.
  if (ended == -1) return LastErrorResult();
  // A handler that threw ended the dialog: nothing was chosen.
  RETURN_IF_FAILED(failure());
  if (button != nullptr) *button = static_cast<int>(ended);
  if (radioButton != nullptr) *radioButton = selectedRadio_;
  if (verification != nullptr) *verification = verificationChecked_;
  return S_OK;
}

::HRESULT CXTaskDialog::LoadResources() {
  // The screen's DPI, which the message font's size already follows: the
  // icons are loaded at the size they are drawn at, and the layout's fixed
  // sizes grow with it.
  {
    UniqueHdc screen(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!screen) return LastErrorResult();
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    dpi_ = dpi > 0 ? dpi : kBaseDpi;
  }
  contentBrush_.reset(CreateSolidBrush(colour::kContent));
  if (!contentBrush_) return LastErrorResult();
  bandBrush_.reset(CreateSolidBrush(colour::kBand));
  if (!bandBrush_) return LastErrorResult();
  const HINSTANCE module = ResourceInstance();
  struct StockLoad {
    UniqueHIcon* icon;
    unsigned id;
    int size;
  };
  const int small = SmallIconSize();
  const int large = LargeIconSize();
  const StockLoad loads[] = {
      {&warningSmall_, resource_id::kIconWarning, small},
      {&warningLarge_, resource_id::kIconWarning, large},
      {&arrow_, resource_id::kIconArrow, small},
      {&arrowHot_, resource_id::kIconArrowHot, small},
      {&errorSmall_, resource_id::kIconError, small},
      {&errorLarge_, resource_id::kIconError, large},
      {&informationSmall_, resource_id::kIconInformation, small},
      {&informationLarge_, resource_id::kIconInformation, large},
      {&shieldSmall_, resource_id::kIconShield, small},
      {&shieldLarge_, resource_id::kIconShield, large},
  };
  for (const StockLoad& load : loads) {
    load.icon->reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(load.id), IMAGE_ICON,
                                                   load.size, load.size, 0)));
    if (!*load.icon) return LastErrorResult();
  }
  return S_OK;
}

::HRESULT CXTaskDialog::LoadTexts() {
  return LoadTaskDialogTexts(config_, ModuleStrings(), ExecutableFileName(), texts_);
}

HICON CXTaskDialog::ReadIcon(std::uintptr_t value, bool useHandle, bool main,
                             ::HRESULT* failure) {
  if (failure != nullptr) *failure = S_OK;
  HICON icon = nullptr;
  if (useHandle) {
    if (value == 0) return nullptr;
    icon = CopyIcon(reinterpret_cast<HICON>(value));
  } else if (const unsigned stock = StockIconResource(value); stock != 0) {
    const HICON* source = nullptr;
    switch (value) {
      case stock_icon::kWarning: source = main ? warningLarge_.address() : warningSmall_.address(); break;
      case stock_icon::kError: source = main ? errorLarge_.address() : errorSmall_.address(); break;
      case stock_icon::kInformation:
        source = main ? informationLarge_.address() : informationSmall_.address();
        break;
      default: source = main ? shieldLarge_.address() : shieldSmall_.address(); break;
    }
    icon = CopyIcon(*source);
  } else if (config_.hInstance != 0 && value >= 1 && value <= 0xFFFF) {
    // At the size the icon is drawn at, so that a module's icon with an
    // image of that size is not stretched.
    const int size = main ? LargeIconSize() : SmallIconSize();
    icon = static_cast<HICON>(LoadImageW(reinterpret_cast<HINSTANCE>(config_.hInstance),
                                         MAKEINTRESOURCEW(value), IMAGE_ICON, size, size, 0));
  } else {
    return nullptr;
  }
  if (icon == nullptr && failure != nullptr) *failure = LastErrorResult();
  return icon;
}

::HRESULT CXTaskDialog::LoadIcons() {
  ::HRESULT failure = S_OK;
  const bool mainHandle = Has(tdf::kUseHiconMain);
  mainIcon_.reset(ReadIcon(config_.mainIcon, mainHandle, true, &failure));
  RETURN_IF_FAILED(failure);
  stockMain_ = !mainHandle && StockIconResource(config_.mainIcon) != 0;
  // A footer icon that cannot be had leaves the footer without one.
  footerIcon_.reset(ReadIcon(config_.footerIcon, Has(tdf::kUseHiconFooter), false, nullptr));
  return S_OK;
}

::HRESULT CXTaskDialog::LayOut() {
  UniqueHdc dc(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!dc) return LastErrorResult();
  // The record as it was before the padded border width was added: every
  // version of the platform fills it.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = 500;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    return LastErrorResult();
  messageFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  if (!messageFont_) return LastErrorResult();
  LOGFONTW large = metrics.lfMessageFont;
  large.lfHeight = static_cast<LONG>(large.lfHeight * 1.5);
  largeFont_.reset(CreateFontIndirectW(&large));
  if (!largeFont_) return LastErrorResult();
  textColour_ = GetSysColor(COLOR_BTNTEXT);

  const HGDIOBJ previousFont = GetCurrentObject(dc.get(), OBJ_FONT);
  GdiTextMeasurer measurer(dc.get(), messageFont_.get(), largeFont_.get());
  LayoutEnvironment environment;
  environment.measurer = &measurer;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const HMONITOR nearest =
      MonitorFromWindow(reinterpret_cast<HWND>(config_.hwndParent), MONITOR_DEFAULTTONEAREST);
  environment.monitorWidth = nearest != nullptr && GetMonitorInfoW(nearest, &monitor)
                                 ? monitor.rcMonitor.right - monitor.rcMonitor.left
                                 : GetSystemMetrics(SM_CXSCREEN);
  const LONG units = GetDialogBaseUnits();
  environment.baseUnits = {LOWORD(units), HIWORD(units)};
  environment.hasMainIcon = static_cast<bool>(mainIcon_);
  environment.hasFooterIcon = static_cast<bool>(footerIcon_);
  environment.dpi = dpi_;
  const ::HRESULT result =
      LayOutTaskDialog(config_, texts_, commonButtons_, environment, layout_);
  SelectObject(dc.get(), previousFont);
  expander_ = std::make_unique<Expander>(config_.dwFlags, layout_.expanded, animate_, dpi_);
  return result;
}

INT_PTR CXTaskDialog::RunTemplate() {
  const std::vector<std::uint8_t> bytes = ui::SerializeTemplate(layout_.dialog);
  // The platform wants the template on a 4-byte boundary: a block of its own.
  const HANDLE heap = GetProcessHeap();
  void* block = HeapAlloc(heap, 0, bytes.size());
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return -1;
  }
  std::memcpy(block, bytes.data(), bytes.size());
  const INT_PTR ended =
      RunModalIndirect(ResourceInstance(), static_cast<const DLGTEMPLATE*>(block),
                      reinterpret_cast<HWND>(config_.hwndParent));
  const DWORD error = GetLastError();
  HeapFree(heap, 0, block);
  SetLastError(error);
  return ended;
}

}  // namespace mirdane::taskdialog::win32
