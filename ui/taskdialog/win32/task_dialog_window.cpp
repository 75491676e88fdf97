// The emulated task dialog while it shows: initialisation, the bands,
// commands, timers and the notifications of the caller's callback.
#include <windows.h>
#include <commctrl.h>

#include "ui/taskdialog/band_painting.h"
#include "ui/taskdialog/command_routing.h"
#include "ui/taskdialog/stock_icons.h"
#include "ui/taskdialog/task_dialog_constants.h"
#include "ui/taskdialog/win32/task_dialog.h"

namespace mirdane::taskdialog::win32 {
namespace framework = ::mirdane::win32;

const framework::MessageMap<CXTaskDialog> CXTaskDialog::kMessages = {
    framework::OnMessage(WM_INITDIALOG, &CXTaskDialog::OnInitDialog),
    framework::OnMessage(WM_ERASEBKGND, &CXTaskDialog::OnEraseBackground),
    framework::OnMessage(WM_COMMAND, &CXTaskDialog::OnCommand),
    framework::OnMessage(WM_TIMER, &CXTaskDialog::OnTimer),
    framework::OnMessage(WM_DESTROY, &CXTaskDialog::OnDestroy),
    framework::OnMessage(WM_HELP, &CXTaskDialog::OnHelp),
    framework::OnNotify(NM_CLICK, &CXTaskDialog::OnClick),
    framework::OnMessageRange(TDM_NAVIGATE_PAGE, TDM_UPDATE_ICON, &CXTaskDialog::OnTaskDialogMessage),
};

LRESULT CXTaskDialog::OnEraseBackground(WPARAM dc, LPARAM) {
  PaintBands(reinterpret_cast<HDC>(dc));
  return 1;
}

LRESULT CXTaskDialog::OnDestroy(WPARAM, LPARAM) {
  StopAnimationTimer();
  if (callbackTimer_ != 0) KillTimer(hwnd_, callbackTimer_);
  callbackTimer_ = 0;
  Notify(TDN_DESTROYED);
  return Default();
}

LRESULT CXTaskDialog::OnHelp(WPARAM, LPARAM) {
  Notify(TDN_HELP);
  return TRUE;
}

LRESULT CXTaskDialog::OnClick(const NMHDR& header) {
  // A link's click is the caller's; any other goes back to its control.
  wchar_t className[16] = {};
  if (header.hwndFrom != nullptr) GetClassNameW(header.hwndFrom, className, 16);
  if (lstrcmpiW(className, WC_LINK) != 0) return Default();
  const auto& link = reinterpret_cast<const NMLINK&>(header);
  Notify(TDN_HYPERLINK_CLICKED, 0, reinterpret_cast<LPARAM>(link.item.szUrl));
  return 0;
}

::HRESULT CXTaskDialog::Notify(UINT code, WPARAM wParam, LPARAM lParam) {
  if (platformConfig_ == nullptr || platformConfig_->pfCallback == nullptr) return S_OK;
  return platformConfig_->pfCallback(hwnd_, code, wParam, lParam,
                                     platformConfig_->lpCallbackData);
}

LRESULT CXTaskDialog::OnInitDialog(WPARAM, LPARAM) {
  Notify(TDN_DIALOG_CONSTRUCTED);
  if (!Has(tdf::kPositionRelativeToWindow)) CentreOnMonitor();
  ApplyFonts();
  if (HWND box = Control(layout_.ids.verification); box != nullptr && Has(tdf::kVerificationFlagChecked))
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
  if (Has(tdf::kShowMarqueeProgressBar))
    SendMessageW(Control(layout_.ids.progressBar), PBM_SETMARQUEE, TRUE, kMarqueeUpdatePeriod);
  if (HWND focus = Control(layout_.ids.defaultControl); focus != nullptr) SetFocus(focus);
  if (!texts_.radioButtons.empty() && !Has(tdf::kNoDefaultRadioButton)) {
    const int id = config_.nDefaultRadioButton != 0 ? config_.nDefaultRadioButton
                                                    : texts_.radioButtons.front().id;
    // A default that names no radio button ticks none.
    for (const ButtonText& radio : texts_.radioButtons) {
      if (radio.id == id) SendMessageW(Control(id), BM_SETCHECK, BST_CHECKED, 0);
    }
  }
  if (!CancellationAllowed(config_.dwFlags, config_.dwCommonButtons)) {
    EnableMenuItem(GetSystemMenu(hwnd_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  if (Has(tdf::kCanBeMinimized)) {
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_.get()));
  }
  AttachWrappers();
  if (Has(tdf::kCallbackTimer)) callbackTimer_ = SetTimer(hwnd_, kCallbackTimerId,
                                                          kCallbackTimerPeriod, nullptr);
  timeBase_ = GetTickCount();
  if (const unsigned sound = MainIconSound(config_.mainIcon, Has(tdf::kUseHiconMain)); sound != 0)
    MessageBeep(sound);
  Notify(TDN_CREATED);
  return FALSE;  // the focus is set
}

void CXTaskDialog::CentreOnMonitor() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const HMONITOR nearest =
      MonitorFromWindow(reinterpret_cast<HWND>(config_.hwndParent), MONITOR_DEFAULTTONEAREST);
  if (nearest == nullptr || !GetMonitorInfoW(nearest, &monitor)) return;
  RECT window;
  GetWindowRect(hwnd_, &window);
  const RECT& work = monitor.rcWork;
  const int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
  const int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CXTaskDialog::ApplyFonts() {
  auto setFont = [](HWND control, HFONT font) {
    if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };
  setFont(Control(layout_.ids.mainInstruction), largeFont_.get());
  const HFONT buttonFont = Has(tdf::kUseCommandLinks) ? largeFont_.get() : messageFont_.get();
  for (const ButtonText& button : texts_.buttons) setFont(Control(button.id), buttonFont);
  const HFONT message = messageFont_.get();
  for (const int id : layout_.commonButtonIds) setFont(Control(id), message);
  for (const int id : {layout_.ids.content, layout_.ids.expandedInformation,
                       layout_.ids.expandoButton, layout_.ids.progressBar,
                       layout_.ids.verification, layout_.ids.footerText})
    setFont(Control(id), message);
  for (const ButtonText& radio : texts_.radioButtons) setFont(Control(radio.id), message);
}

void CXTaskDialog::AttachWrappers() {
  radioControls_.clear();
  linkControls_.clear();
  bool complete = true;
  auto attach = [&](framework::SubclassWindow& wrapper, int id) {
    HWND control = Control(id);
    if (control != nullptr && wrapper.hwnd() == nullptr && !wrapper.Attach(control))
      complete = false;
  };
  mainIconControl_.SetIcon(mainIcon_.address(), LargeIconSize());
  attach(mainIconControl_, layout_.ids.mainIcon);
  footerIconControl_.SetIcon(footerIcon_.address(), SmallIconSize());
  attach(footerIconControl_, layout_.ids.footerIcon);
  mainInstructionControl_.SetColors(colour::kMainInstruction, colour::kContent,
                                    contentBrush_.address());
  attach(mainInstructionControl_, layout_.ids.mainInstruction);
  contentControl_.SetColors(textColour_, colour::kContent, contentBrush_.address());
  attach(contentControl_, layout_.ids.content);
  if (Has(tdf::kExpandFooterArea)) {
    expandedControl_.SetColors(textColour_, colour::kBand, bandBrush_.address());
  } else {
    expandedControl_.SetColors(textColour_, colour::kContent, contentBrush_.address());
  }
  attach(expandedControl_, layout_.ids.expandedInformation);
  footerTextControl_.SetColors(textColour_, colour::kBand, bandBrush_.address());
  attach(footerTextControl_, layout_.ids.footerText);
  for (const ButtonText& radio : texts_.radioButtons) {
    auto wrapper = std::make_unique<CXTaskDialogButton>();
    wrapper->SetColors(colour::kContent, contentBrush_.address());
    attach(*wrapper, radio.id);
    radioControls_.push_back(std::move(wrapper));
  }
  verificationControl_.SetColors(colour::kContent, bandBrush_.address());
  attach(verificationControl_, layout_.ids.verification);
  if (Has(tdf::kUseCommandLinks)) {
    const bool icons = !Has(tdf::kUseCommandLinksNoIcon);
    for (const ButtonText& button : texts_.buttons) {
      auto wrapper = std::make_unique<CXTaskDialogCommandLink>();
      if (!wrapper->Init(largeFont_.get(), messageFont_.get(), shieldSmall_.get(),
                         icons ? arrow_.get() : nullptr, icons ? arrowHot_.get() : nullptr, dpi_))
        complete = false;
      attach(*wrapper, button.id);
      if (icons && Control(button.id) != nullptr)
        SendMessageW(Control(button.id), BM_SETIMAGE, IMAGE_ICON,
                     reinterpret_cast<LPARAM>(arrow_.get()));
      linkControls_.push_back(std::move(wrapper));
    }
  }
  if (!complete) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void CXTaskDialog::PaintBands(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const COLORREF previous = GetBkColor(dc);
  for (const BandFill& fill : BandFills(layout_.separators, client.right, client.bottom)) {
    const RECT rect{fill.rect.left, fill.rect.top, fill.rect.right, fill.rect.bottom};
    SetBkColor(dc, fill.colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  }
  SetBkColor(dc, previous);
}

LRESULT CXTaskDialog::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  std::vector<int> radioIds;
  for (const ButtonText& radio : texts_.radioButtons) radioIds.push_back(radio.id);
  switch (RouteCommand(id, HIWORD(wParam), layout_.ids, radioIds, config_.dwFlags,
                       config_.dwCommonButtons)) {
    case CommandAction::kIgnore:
      return 0;
    case CommandAction::kRadioButtonClicked:
      Notify(TDN_RADIO_BUTTON_CLICKED, static_cast<WPARAM>(id));
      return 0;
    case CommandAction::kToggleExpander:
      expander_->Toggle(*this, layout_.separators);
      return 0;
    case CommandAction::kVerificationClicked:
      Notify(TDN_VERIFICATION_CLICKED,
             SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
      return 0;
    case CommandAction::kButtonClicked:
      if (Notify(TDN_BUTTON_CLICKED, static_cast<WPARAM>(id)) == S_FALSE) return 0;
      CloseWith(id);
      return 0;
  }
  return 0;
}

void CXTaskDialog::CloseWith(int id) {
  if (HWND box = Control(layout_.ids.verification); box != nullptr)
    verificationChecked_ = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  selectedRadio_ = -1;
  for (const ButtonText& radio : texts_.radioButtons) {
    if (SendMessageW(Control(radio.id), BM_GETCHECK, 0, 0) == BST_CHECKED) {
      selectedRadio_ = radio.id;
      break;
    }
  }
  EndDialog(hwnd_, id);
}

LRESULT CXTaskDialog::OnTimer(WPARAM id, LPARAM) {
  if (id == kAnimationTimerId) {
    expander_->OnAnimationTimer(*this, layout_.separators);
  } else if (id == kCallbackTimerId) {
    const DWORD now = GetTickCount();
    if (Notify(TDN_TIMER, now - timeBase_) == S_FALSE) timeBase_ = GetTickCount();
  }
  return 0;
}

}  // namespace mirdane::taskdialog::win32
