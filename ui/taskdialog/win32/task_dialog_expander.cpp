// The emulated task dialog's window as the expander moves and resizes it.
#include "ui/taskdialog/task_dialog_constants.h"
#include "ui/taskdialog/win32/module_resources.h"
#include "ui/taskdialog/win32/task_dialog.h"

namespace mirdane::taskdialog::win32 {

std::vector<HWND> CXTaskDialog::PartWindows(ExpanderPart part) const {
  std::vector<HWND> windows;
  auto add = [&](int id) {
    if (HWND control = Control(id); control != nullptr) windows.push_back(control);
  };
  switch (part) {
    case ExpanderPart::kExpandedInformation: add(layout_.ids.expandedInformation); break;
    case ExpanderPart::kExpandoButton: add(layout_.ids.expandoButton); break;
    case ExpanderPart::kVerification: add(layout_.ids.verification); break;
    case ExpanderPart::kFooterIcon: add(layout_.ids.footerIcon); break;
    case ExpanderPart::kFooterText: add(layout_.ids.footerText); break;
    case ExpanderPart::kProgressBar: add(layout_.ids.progressBar); break;
    case ExpanderPart::kCommonButtons:
      for (const int id : layout_.commonButtonIds) add(id);
      break;
    case ExpanderPart::kCustomButtons:
      for (const ButtonText& button : texts_.buttons) add(button.id);
      break;
    case ExpanderPart::kRadioButtons:
      for (const ButtonText& radio : texts_.radioButtons) add(radio.id);
      break;
  }
  return windows;
}

void CXTaskDialog::MoveBy(ExpanderPart part, int dy) {
  for (HWND control : PartWindows(part)) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CXTaskDialog::Show(ExpanderPart part, bool visible) {
  for (HWND control : PartWindows(part)) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void CXTaskDialog::ResizeBy(int dy) {
  RECT rect;
  GetWindowRect(hwnd_, &rect);
  SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + dy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CXTaskDialog::ExpandedInformationHeight() {
  HWND control = Control(layout_.ids.expandedInformation);
  if (control == nullptr) return 0;
  RECT rect;
  GetWindowRect(control, &rect);
  return rect.bottom - rect.top;
}

int CXTaskDialog::BottomFrame() {
  RECT window;
  RECT client;
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  POINT bottom{window.right, window.bottom};
  ScreenToClient(hwnd_, &bottom);
  return bottom.y - client.bottom;
}

int CXTaskDialog::ClientHeight() {
  RECT client;
  GetClientRect(hwnd_, &client);
  return client.bottom;
}

void CXTaskDialog::ShowExpandoText(bool expanded) {
  SetWindowTextW(Control(layout_.ids.expandoButton),
                 Wide(expanded ? texts_.expandedControlText : texts_.collapsedControlText));
}

void CXTaskDialog::FocusExpandedInformation() {
  if (HWND control = Control(layout_.ids.expandedInformation); control != nullptr)
    SetFocus(control);
}

void CXTaskDialog::FocusExpandoButton() {
  if (HWND control = Control(layout_.ids.expandoButton); control != nullptr) SetFocus(control);
}

void CXTaskDialog::RepaintNow() {
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CXTaskDialog::StartAnimationTimer() {
  animationTimer_ = SetTimer(hwnd_, kAnimationTimerId, kAnimationTimerPeriod, nullptr);
}

void CXTaskDialog::StopAnimationTimer() {
  if (animationTimer_ != 0) KillTimer(hwnd_, animationTimer_);
  animationTimer_ = 0;
}

void CXTaskDialog::NotifyExpandoClicked(bool expanded) {
  Notify(TDN_EXPANDO_BUTTON_CLICKED, expanded ? 1 : 0);
}

}  // namespace mirdane::taskdialog::win32
