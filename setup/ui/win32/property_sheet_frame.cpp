#include "setup/ui/win32/property_sheet_frame.h"

#include <vector>

#include "ui/dialog_template.h"
#include "ui/win32/ui_text.h"
#include "win32/gdi.h"

namespace mirdane::ui {
namespace {

// Sizes in dialog units, as property sheets space their parts.
constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kPageWidth = 350;
constexpr int kPageHeight = 242;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

std::vector<SheetPage*> AsSheetPages(const std::vector<PropertyPage*>& pages) {
  return std::vector<SheetPage*>(pages.begin(), pages.end());
}

}  // namespace

const win32::MessageMap<PropertySheetFrame> PropertySheetFrame::kMessages = {
    win32::OnMessage(WM_INITDIALOG, &PropertySheetFrame::OnInitDialog),
    win32::OnMessage(WM_COMMAND, &PropertySheetFrame::OnCommand),
    win32::OnMessage(WM_CLOSE, &PropertySheetFrame::OnClose),
};

PropertySheetFrame::PropertySheetFrame(HINSTANCE instance, std::vector<PropertyPage*> pages)
    : instance_(instance), pages_(std::move(pages)), controller_(AsSheetPages(pages_)) {}

PropertySheetFrame::~PropertySheetFrame() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

int PropertySheetFrame::RunModal(const std::u16string& caption, HWND owner, int first) {
  for (PropertyPage* page : pages_) {
    if (!page->LoadTemplate()) return -1;
  }
  first_ = first;
  result_ = 0;
  const std::uint32_t style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK |
                              style::kShellFont | WS_CLIPCHILDREN;
  const auto frameTemplate = MakeEmptyDialogTemplate(
      style, WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, caption, 8, u"MS Shell Dlg", 0, 0);
  if (!CreateIndirect(instance_, reinterpret_cast<const DLGTEMPLATE*>(frameTemplate.data()),
                      owner)) {
    return -1;
  }
  if (controller_.current() < 0) {
    ::DestroyWindow(hwnd_);
    return -1;
  }
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);

  MSG message{};
  while (result_ == 0 && hwnd_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The application is quitting: the sheet is cancelled and the quit
      // goes on to the loop that waits for it.
      if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
      result_ = IDCANCEL;
      break;
    }
    if (HandlePageKeys(message)) continue;
    if (::IsDialogMessageW(hwnd_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (hwnd_) ::DestroyWindow(hwnd_);
  return result_ == 0 ? IDCANCEL : result_;
}

HWND PropertySheetFrame::CreateControl(const wchar_t* windowClass, const wchar_t* text,
                                       DWORD style, DWORD exStyle, const RECT& area, int id) {
  HWND control = ::CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style,
                                   area.left, area.top, area.right - area.left,
                                   area.bottom - area.top, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_,
                                   nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(win32::WindowFont(hwnd_)), FALSE);
  return control;
}

LRESULT PropertySheetFrame::OnInitDialog(WPARAM, LPARAM) {
  auto dialogUnits = [this](int x, int y) {
    RECT area{0, 0, x, y};
    ::MapDialogRect(hwnd_, &area);
    return area;
  };
  const RECT margin = dialogUnits(kMargin, kMargin);
  const RECT gap = dialogUnits(kGap, kGap);
  const RECT page = dialogUnits(kPageWidth, kPageHeight);
  const RECT button = dialogUnits(kButtonWidth, kButtonHeight);
  int dpi = 96;
  {
    win32::ClientDc screen(hwnd_);
    dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  // The list is 100 pixels wide on a screen of 96 dots per inch and grows
  // with the system's DPI like everything else on the sheet.
  const int listWidth = ::MulDiv(kPageListWidth, dpi > 0 ? dpi : 96, 96);

  const RECT listArea{margin.right, margin.bottom, margin.right + listWidth,
                      margin.bottom + page.bottom};
  const RECT pageArea{listArea.right + gap.right, listArea.top, listArea.right + gap.right + page.right,
                      listArea.bottom};
  const int buttonTop = pageArea.bottom + margin.bottom;
  const RECT cancelArea{pageArea.right - button.right, buttonTop, pageArea.right,
                        buttonTop + button.bottom};
  const RECT okArea{cancelArea.left - gap.right - button.right, buttonTop, cancelArea.left - gap.right,
                    cancelArea.bottom};

  list_ = CreateControl(L"LISTBOX", L"",
                        WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                        WS_EX_CLIENTEDGE, listArea, kPageListId);
  for (PropertyPage* sheetPage : pages_) {
    ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(sheetPage->title())));
    sheetPage->Place(hwnd_, pageArea, list_);
  }
  CreateControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, okArea, IDOK);
  CreateControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, cancelArea, IDCANCEL);

  // The frame around it all, centred on the screen it is on.
  RECT frame{0, 0, pageArea.right + margin.right, cancelArea.bottom + margin.bottom};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = work.left + std::max(0L, ((work.right - work.left) - width) / 2);
  const int top = work.top + std::max(0L, ((work.bottom - work.top) - height) / 2);
  ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  if (controller_.Start(first_)) {
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(controller_.current()), 0);
    // The keyboard starts on the page's first control, as in any property sheet.
    HWND first = ::GetNextDlgTabItem(hwnd_, list_, FALSE);
    if (first) {
      ::SetFocus(first);
      return FALSE;
    }
  }
  return TRUE;
}

void PropertySheetFrame::ShowSelectedPage(int index, bool focusPage) {
  if (!controller_.SelectPage(index)) {
    // The current page would not be left: the list says so by staying on it.
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(controller_.current()), 0);
    return;
  }
  ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (focusPage) {
    if (HWND first = ::GetNextDlgTabItem(hwnd_, list_, FALSE)) ::SetFocus(first);
  }
}

LRESULT PropertySheetFrame::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (id == IDOK && (code == BN_CLICKED || code == 0)) {
    // The pages may ask a question first; the sheet may have been told to
    // close meanwhile, and that stands.
    if (result_ == 0 && controller_.PressOk() && result_ == 0) result_ = IDOK;
  } else if (id == IDCANCEL && (code == BN_CLICKED || code == 0)) {
    if (result_ == 0) result_ = IDCANCEL;
  } else if (id == kPageListId && code == LBN_SELCHANGE) {
    const auto selected = static_cast<int>(::SendMessageW(list_, LB_GETCURSEL, 0, 0));
    if (selected >= 0 && selected != controller_.current()) ShowSelectedPage(selected, false);
  } else {
    return Default();
  }
  return 0;
}

LRESULT PropertySheetFrame::OnClose(WPARAM, LPARAM) {
  if (result_ == 0) result_ = IDCANCEL;
  return 0;
}

bool PropertySheetFrame::HandlePageKeys(const MSG& message) {
  if (message.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0) return false;
  if (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd)) return false;
  int step = 0;
  if (message.wParam == VK_TAB) step = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  if (message.wParam == VK_NEXT) step = 1;
  if (message.wParam == VK_PRIOR) step = -1;
  if (step == 0) return false;
  const int count = controller_.pageCount();
  ShowSelectedPage((controller_.current() + step + count) % count, true);
  return true;
}

}  // namespace mirdane::ui
