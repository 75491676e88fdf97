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
bool CXTaskDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      result = OnInitDialog();
      return true;
    case WM_ERASEBKGND:
      PaintBands(reinterpret_cast<HDC>(wParam));
      result = 1;
      return true;
    case WM_COMMAND:
      OnCommand(wParam);
      result = 0;
      return true;
    case WM_TIMER:
      OnTimer(wParam);
      result = 0;
      return true;
    case WM_DESTROY:
      StopAnimationTimer();
      if (callbackTimer_ != 0) KillTimer(m_hWnd, callbackTimer_);
      callbackTimer_ = 0;
      Notify(TDN_DESTROYED);
      return false;
    case WM_HELP:
      Notify(TDN_HELP);
      result = TRUE;
      return true;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == NM_CLICK && header->hwndFrom != nullptr) {
        wchar_t className[16] = {};
        GetClassNameW(header->hwndFrom, className, 16);
        if (lstrcmpiW(className, WC_LINK) == 0) {
          const auto* link = reinterpret_cast<const NMLINK*>(lParam);
          Notify(TDN_HYPERLINK_CLICKED, 0, reinterpret_cast<LPARAM>(link->item.szUrl));
          result = 0;
          return true;
        }
      }
      return ReflectNotification(message, wParam, lParam, result);
    }
    default:
      break;
  }
  if (message >= TDM_NAVIGATE_PAGE && message <= TDM_UPDATE_ICON) {
    result = OnTaskDialogMessage(message, wParam, lParam);
    return true;
  }
  return ReflectNotification(message, wParam, lParam, result);
}

::HRESULT CXTaskDialog::Notify(UINT code, WPARAM wParam, LPARAM lParam) {
  if (platformConfig_ == nullptr || platformConfig_->pfCallback == nullptr) return S_OK;
  return platformConfig_->pfCallback(m_hWnd, code, wParam, lParam,
                                     platformConfig_->lpCallbackData);
}

LRESULT CXTaskDialog::OnInitDialog() {
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
    EnableMenuItem(GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  if (Has(tdf::kCanBeMinimized)) {
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon_.get()));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_.get()));
  }
  AttachWrappers();
  if (Has(tdf::kCallbackTimer)) callbackTimer_ = SetTimer(m_hWnd, kCallbackTimerId,
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
  GetWindowRect(m_hWnd, &window);
  const RECT& work = monitor.rcWork;
  const int x = work.left + ((work.right - work.left) - (window.right - window.left)) / 2;
  const int y = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
  auto attach = [&](CWindowImpl& wrapper, int id) {
    HWND control = Control(id);
    if (control != nullptr && wrapper.GetSafeHwnd() == nullptr && !wrapper.SubclassWindow(control))
      complete = false;
  };
  mainIconControl_.SetIcon(mainIcon_.address(), true);
  attach(mainIconControl_, layout_.ids.mainIcon);
  footerIconControl_.SetIcon(footerIcon_.address(), false);
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
      if (!wrapper->Init(largeFont_.get(), messageFont_.get(), shield16_.get(),
                         icons ? arrow_.get() : nullptr, icons ? arrowHot_.get() : nullptr))
        complete = false;
      attach(*wrapper, button.id);
      if (icons && Control(button.id) != nullptr)
        SendMessageW(Control(button.id), BM_SETIMAGE, IMAGE_ICON,
                     reinterpret_cast<LPARAM>(arrow_.get()));
      linkControls_.push_back(std::move(wrapper));
    }
  }
  if (!complete) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CXTaskDialog::PaintBands(HDC dc) {
  RECT client;
  GetClientRect(m_hWnd, &client);
  const COLORREF previous = GetBkColor(dc);
  for (const BandFill& fill : BandFills(layout_.separators, client.right, client.bottom)) {
    const RECT rect{fill.rect.left, fill.rect.top, fill.rect.right, fill.rect.bottom};
    SetBkColor(dc, fill.colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  }
  SetBkColor(dc, previous);
}

void CXTaskDialog::OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  std::vector<int> radioIds;
  for (const ButtonText& radio : texts_.radioButtons) radioIds.push_back(radio.id);
  switch (RouteCommand(id, HIWORD(wParam), layout_.ids, radioIds, config_.dwFlags,
                       config_.dwCommonButtons)) {
    case CommandAction::kIgnore:
      return;
    case CommandAction::kRadioButtonClicked:
      Notify(TDN_RADIO_BUTTON_CLICKED, static_cast<WPARAM>(id));
      return;
    case CommandAction::kToggleExpander:
      expander_->Toggle(*this, layout_.separators);
      return;
    case CommandAction::kVerificationClicked:
      Notify(TDN_VERIFICATION_CLICKED,
             SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
      return;
    case CommandAction::kButtonClicked:
      if (Notify(TDN_BUTTON_CLICKED, static_cast<WPARAM>(id)) == S_FALSE) return;
      CloseWith(id);
      return;
  }
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
  EndDialog(id);
}

void CXTaskDialog::OnTimer(WPARAM id) {
  if (id == kAnimationTimerId) {
    expander_->OnAnimationTimer(*this, layout_.separators);
  } else if (id == kCallbackTimerId) {
    const DWORD now = GetTickCount();
    if (Notify(TDN_TIMER, now - timeBase_) == S_FALSE) timeBase_ = GetTickCount();
  }
}

}  // namespace mirdane::taskdialog::win32
