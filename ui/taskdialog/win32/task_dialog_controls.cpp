#include "ui/taskdialog/win32/task_dialog_controls.h"

#include <string>

#include "ui/taskdialog/dpi_scale.h"
#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog::win32 {
namespace {

void FillClient(HWND window, HDC dc, COLORREF colour) {
  RECT rect;
  GetClientRect(window, &rect);
  const COLORREF previous = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

LRESULT BrushResult(HBRUSH* brush) {
  return brush != nullptr ? reinterpret_cast<LRESULT>(*brush) : 0;
}

}  // namespace

// ---- CXTaskDialogStatic

void CXTaskDialogStatic::SetColors(COLORREF text, COLORREF background, HBRUSH* brush) {
  text_ = text;
  background_ = background;
  brush_ = brush;
}

const framework::MessageMap<CXTaskDialogStatic> CXTaskDialogStatic::kMessages = {
    framework::OnMessage(framework::kReflectedBase + WM_CTLCOLORSTATIC, &CXTaskDialogStatic::OnColour),
    framework::OnMessage(WM_ERASEBKGND, &CXTaskDialogStatic::OnEraseBackground),
};

LRESULT CXTaskDialogStatic::OnColour(WPARAM wParam, LPARAM) {
  const HDC dc = reinterpret_cast<HDC>(wParam);
  SetBkColor(dc, background_);
  SetTextColor(dc, text_);
  return BrushResult(brush_);
}

LRESULT CXTaskDialogStatic::OnEraseBackground(WPARAM dc, LPARAM) {
  FillClient(hwnd_, reinterpret_cast<HDC>(dc), background_);
  return 1;
}

// ---- CXTaskDialogButton

void CXTaskDialogButton::SetColors(COLORREF erase, HBRUSH* brush) {
  erase_ = erase;
  brush_ = brush;
}

const framework::MessageMap<CXTaskDialogButton> CXTaskDialogButton::kMessages = {
    framework::OnMessage(framework::kReflectedBase + WM_CTLCOLORSTATIC, &CXTaskDialogButton::OnColour),
    framework::OnMessage(WM_ERASEBKGND, &CXTaskDialogButton::OnEraseBackground),
};

LRESULT CXTaskDialogButton::OnColour(WPARAM dc, LPARAM) {
  SetBkMode(reinterpret_cast<HDC>(dc), TRANSPARENT);
  return BrushResult(brush_);
}

LRESULT CXTaskDialogButton::OnEraseBackground(WPARAM dc, LPARAM) {
  FillClient(hwnd_, reinterpret_cast<HDC>(dc), erase_);
  return 0;
}

// ---- CXTaskDialogIconStatic

void CXTaskDialogIconStatic::SetIcon(HICON* icon, int size) {
  icon_ = icon;
  size_ = size;
}

const framework::MessageMap<CXTaskDialogIconStatic> CXTaskDialogIconStatic::kMessages = {
    framework::OnMessage(WM_PAINT, &CXTaskDialogIconStatic::OnPaint),
};

LRESULT CXTaskDialogIconStatic::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd_, &paint);
  if (icon_ != nullptr && *icon_ != nullptr)
    DrawIconEx(dc, 0, 0, *icon_, size_, size_, 0, nullptr, DI_NORMAL);
  EndPaint(hwnd_, &paint);
  return 0;
}

// ---- CXTaskDialogCommandLink

bool CXTaskDialogCommandLink::Init(HFONT titleFont, HFONT noteFont, HICON shield, HICON arrow,
                                   HICON hotArrow, int dpi) {
  dpi_ = dpi;
  titleFont_ = titleFont;
  noteFont_ = noteFont;
  shield_ = shield;
  arrow_ = arrow;
  hotArrow_ = hotArrow;
  focusPen_.reset();
  hotPen_.reset();
  normalPen_.reset();
  focusPen_.reset(CreatePen(PS_SOLID, 1, colour::kLinkFocusFrame));
  if (!focusPen_) return false;
  normalPen_.reset(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
  if (!normalPen_) return false;
  hotPen_.reset(CreatePen(PS_SOLID, 1, colour::kLinkHotFrame));
  return static_cast<bool>(hotPen_);
}

void CXTaskDialogCommandLink::SwapImage(bool toHot) {
  const auto image = reinterpret_cast<HICON>(SendMessageW(hwnd_, BM_GETIMAGE, IMAGE_ICON, 0));
  if (image == nullptr) return;
  // Only the arrow changes: a shield asked for by an elevation request stays.
  if (toHot && image == arrow_) {
    SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hotArrow_));
  } else if (!toHot && image == hotArrow_) {
    SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(arrow_));
  }
}

const framework::MessageMap<CXTaskDialogCommandLink> CXTaskDialogCommandLink::kMessages = {
    framework::OnMessage(WM_MOUSEMOVE, &CXTaskDialogCommandLink::OnMouseMove),
    framework::OnMessage(WM_MOUSELEAVE, &CXTaskDialogCommandLink::OnMouseLeave),
    framework::OnMessage(framework::kReflectedBase + WM_DRAWITEM, &CXTaskDialogCommandLink::OnDrawItem),
    framework::OnMessage(WM_UPDATEUISTATE, &CXTaskDialogCommandLink::OnUpdateUiState),
    framework::OnMessage(WM_ERASEBKGND, &CXTaskDialogCommandLink::OnEraseBackground),
};

LRESULT CXTaskDialogCommandLink::OnMouseMove(WPARAM, LPARAM) {
  if (!hot_) {
    hot_ = true;
    SwapImage(true);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd_, 1};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  return Default();
}

LRESULT CXTaskDialogCommandLink::OnMouseLeave(WPARAM, LPARAM) {
  tracking_ = false;
  hot_ = false;
  SwapImage(false);
  InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

LRESULT CXTaskDialogCommandLink::OnDrawItem(WPARAM, LPARAM item) {
  Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(item));
  return 1;
}

LRESULT CXTaskDialogCommandLink::OnUpdateUiState(WPARAM, LPARAM) {
  InvalidateRect(hwnd_, nullptr, TRUE);
  return Default();
}

LRESULT CXTaskDialogCommandLink::OnEraseBackground(WPARAM, LPARAM) { return 1; }

void CXTaskDialogCommandLink::Draw(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const int saved = SaveDC(dc);

  const COLORREF background = SetBkColor(dc, RGB(255, 255, 255));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, background);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  SelectObject(dc, hot_ ? hotPen_.get() : focused ? focusPen_.get() : normalPen_.get());
  // The margins and sizes below are those of 96 DPI, as the layout's heights
  // of the links are: 10 pixels above and below the text.
  auto px = [this](int pixels) { return ScaleForDpi(pixels, dpi_); };
  const int corner = px(6);
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
  if (pressed) {
    RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    const COLORREF previous = SetBkColor(dc, colour::kLinkPressedFill);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &inner, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
  }

  const auto uiState = static_cast<UINT>(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0));
  const bool hideMnemonics = (uiState & UISF_HIDEACCEL) != 0;
  const bool hideFocus = (uiState & UISF_HIDEFOCUS) != 0;
  if (focused && !hideFocus) {
    const int dx = 2 * GetSystemMetrics(SM_CXBORDER);
    const int dy = 3 * GetSystemMetrics(SM_CYBORDER);
    RECT focus{rect.left + dx, rect.top + dy, rect.right - dx, rect.bottom - dy};
    DrawFocusRect(dc, &focus);
  }

  const int height = rect.bottom - rect.top;
  const int margin = px(10);
  int x = margin;
  const auto image = reinterpret_cast<HICON>(SendMessageW(hwnd_, BM_GETIMAGE, IMAGE_ICON, 0));
  if (image != nullptr) {
    const int iconSize = px(16);
    DrawIconEx(dc, x, (height - iconSize) / 2, image, iconSize, iconSize, 0, nullptr, DI_NORMAL);
    x += px(26);
  }

  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(),
                                                      static_cast<int>(text.size()))));
  SelectObject(dc, titleFont_);
  SetTextColor(dc, pressed ? colour::kLinkText : hot_ ? colour::kLinkTextHot : colour::kLinkText);
  SetBkMode(dc, TRANSPARENT);
  const UINT titleFormat = DT_SINGLELINE | DT_EXPANDTABS | (hideMnemonics ? DT_HIDEPREFIX : 0);
  const std::size_t lineBreak = text.find(L'\n');
  const std::wstring title = text.substr(0, lineBreak);
  RECT measure{x, 0, rect.right - margin, 0};
  DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &measure, titleFormat | DT_CALCRECT);
  const int titleHeight = measure.bottom - measure.top;
  if (lineBreak == std::wstring::npos) {
    RECT target{x, (height - titleHeight) / 2, rect.right - margin,
                (height - titleHeight) / 2 + titleHeight};
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &target, titleFormat);
  } else {
    RECT target{x, margin, rect.right - margin, margin + titleHeight};
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &target, titleFormat);
    const std::wstring note = text.substr(lineBreak + 1);
    SelectObject(dc, noteFont_);
    const UINT noteFormat = DT_WORDBREAK | DT_NOPREFIX;
    // The note's height is taken at the width it is drawn in, so that a
    // note that wraps is not cut off at its last line.
    RECT noteRect{x, 0, rect.right - margin, 0};
    DrawTextW(dc, note.c_str(), static_cast<int>(note.size()), &noteRect, noteFormat | DT_CALCRECT);
    const int noteHeight = noteRect.bottom - noteRect.top;
    const int noteTop = px(15) + titleHeight;
    RECT noteTarget{x, noteTop, rect.right - margin, noteTop + noteHeight};
    DrawTextW(dc, note.c_str(), static_cast<int>(note.size()), &noteTarget, noteFormat);
  }
  RestoreDC(dc, saved);
}

}  // namespace mirdane::taskdialog::win32
