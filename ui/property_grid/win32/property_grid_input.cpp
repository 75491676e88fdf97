// The property grid's keyboard, mouse and header handlers.
#include "ui/property_grid/win32/property_grid.h"

#include <commctrl.h>

namespace mirdane::ui {
namespace {


}  // namespace

// --- keyboard ----------------------------------------------------------------------

LRESULT PropertyGrid::OnGetDlgCode(WPARAM, LPARAM lParam) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  // Enter opens the selected row's menu instead of pressing OK.
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

LRESULT PropertyGrid::OnKeyDown(WPARAM key, LPARAM) {
  GridKey move{};
  switch (key) {
    case VK_UP: move = GridKey::kUp; break;
    case VK_DOWN: move = GridKey::kDown; break;
    case VK_HOME: move = GridKey::kHome; break;
    case VK_END: move = GridKey::kEnd; break;
    case VK_PRIOR: move = GridKey::kPageUp; break;
    case VK_NEXT: move = GridKey::kPageDown; break;
    case VK_LEFT: move = GridKey::kLeft; break;
    case VK_RIGHT: move = GridKey::kRight; break;
    case VK_ADD: move = GridKey::kExpand; break;
    case VK_SUBTRACT: move = GridKey::kCollapse; break;
    case VK_RETURN:
      if (model_.selection().isGroup()) ToggleGroup(model_.selection().group);
      else OpenMenu(model_.selection());
      return 0;
    case VK_F4:
      OpenMenu(model_.selection());
      return 0;
    case VK_F2:
      BeginEdit();
      return 0;
    default:
      return Default();
  }
  if (model_.OnKey(move)) SelectionMoved();
  return 0;
}

LRESULT PropertyGrid::OnSysKeyDown(WPARAM key, LPARAM) {
  if (key == VK_DOWN) {
    OpenMenu(model_.selection());
    return 0;
  }
  return Default();
}

LRESULT PropertyGrid::OnChar(WPARAM character, LPARAM) {
  const GridLine selected = model_.selection();
  if (selected.isGroup() && character == u' ') {
    ToggleGroup(selected.group);
  } else if (character >= 0x20 && character != 0x7F) {
    // Typing on a text constant starts the edit with what was typed.
    const std::u16string typed(1, static_cast<char16_t>(character));
    BeginEdit(&typed);
  }
  return 0;
}

LRESULT PropertyGrid::OnFocusChange(WPARAM, LPARAM) {
  if (!model_.selection().valid() && model_.lineCount() > 0 && ::GetFocus() == hwnd_) {
    model_.Select(model_.lines().front());
  }
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  return 0;
}

// --- mouse ---------------------------------------------------------------------------

LRESULT PropertyGrid::OnLeftButtonDown(WPARAM, LPARAM lParam) {
  const POINT point = win32::PointOf(lParam);
  if (::GetFocus() != hwnd_) ::SetFocus(hwnd_);
  const GridHit hit = HitTest(model_, geometry_, point.x, point.y);
  if (!hit.line.valid()) return 0;
  model_.Select(hit.line);
  SelectionMoved();
  switch (hit.part) {
    case GridPart::kExpander: ToggleGroup(hit.line.group); break;
    case GridPart::kButton: OpenMenu(hit.line); break;
    case GridPart::kValue: BeginEdit(); break;
    default: break;
  }
  return 0;
}

LRESULT PropertyGrid::OnLeftButtonDoubleClick(WPARAM, LPARAM lParam) {
  const POINT point = win32::PointOf(lParam);
  const GridHit hit = HitTest(model_, geometry_, point.x, point.y);
  if (!hit.line.valid()) return 0;
  if (hit.line.isGroup()) {
    ToggleGroup(hit.line.group);
  } else if (const GridRow* row = model_.RowAt(hit.line); row && !row->editable) {
    OpenMenu(hit.line);
  } else if (hit.part != GridPart::kButton) {
    BeginEdit();
  }
  return 0;
}

LRESULT PropertyGrid::OnMouseWheel(WPARAM wParam, LPARAM) {
  UINT linesPerNotch = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
  const int step = linesPerNotch == WHEEL_PAGESCROLL ? model_.pageSize() : static_cast<int>(linesPerNotch);
  const int lines = wheel_.Lines(GET_WHEEL_DELTA_WPARAM(wParam), step);
  if (lines == 0) return 0;
  EndEdit(true);
  model_.ScrollTo(model_.top() - lines);
  SelectionMoved();
  return 0;
}

LRESULT PropertyGrid::OnVerticalScroll(WPARAM wParam, LPARAM) {
  int top = model_.top();
  switch (LOWORD(wParam)) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= model_.pageSize(); break;
    case SB_PAGEDOWN: top += model_.pageSize(); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = model_.lineCount(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      ::GetScrollInfo(scrollBar_, SB_CTL, &info);
      top = info.nTrackPos;
      break;
    }
    default: return 0;
  }
  EndEdit(true);
  model_.ScrollTo(top);
  SelectionMoved();
  return 0;
}

// --- the header's divider --------------------------------------------------------------

LRESULT PropertyGrid::OnNotify(WPARAM, LPARAM lParam) {
  const auto* notice = reinterpret_cast<const NMHEADERW*>(lParam);
  if (!header_ || notice->hdr.hwndFrom != header_) return Default();
  switch (notice->hdr.code) {
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGINGA: {
      if (updatingHeader_) return FALSE;
      // Only the divider between the columns moves; the value column fills the rest.
      if (notice->iItem != 0 || !notice->pitem || !(notice->pitem->mask & HDI_WIDTH)) return TRUE;
      EndEdit(true);
      geometry_.divider = geometry_.ClampDivider(notice->pitem->cxy);
      dividerSet_ = true;
      UpdateHeader();
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      return TRUE;
    }
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
      if (notice->iItem == 0) {
        EndEdit(true);
        geometry_.divider =
            geometry_.ClampDivider(geometry_.gutter + LongestNameWidth() + 2 * padding_ + 1);
        dividerSet_ = true;
        UpdateHeader();
        ::InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace mirdane::ui
