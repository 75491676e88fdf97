#include "setup/ui/win32/property_grid.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "setup/ui/win32/property_grid_messages.h"
#include "setup/ui/win32/ui_text.h"

namespace mirdane::ui {
namespace {

constexpr int kHeaderId = 1;
constexpr int kWheelLines = 3;

int Scale(int value, int dpi) { return ::MulDiv(value, dpi, 96); }

RECT ToRect(const GridRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

const win32::MessageMap<PropertyGrid> PropertyGrid::kMessages = {
    {WM_CREATE, &PropertyGrid::OnCreate},
    {WM_SIZE, &PropertyGrid::OnSize},
    {WM_SETFONT, &PropertyGrid::OnSetFont},
    {WM_GETFONT, &PropertyGrid::OnGetFont},
    {WM_PAINT, &PropertyGrid::OnPaint},
    {WM_PRINTCLIENT, &PropertyGrid::OnPrintClient},
    {WM_ERASEBKGND, &PropertyGrid::OnEraseBackground},
    {WM_SETFOCUS, &PropertyGrid::OnFocusChange},
    {WM_KILLFOCUS, &PropertyGrid::OnFocusChange},
    {WM_GETDLGCODE, &PropertyGrid::OnGetDlgCode},
    {WM_KEYDOWN, &PropertyGrid::OnKeyDown},
    {WM_SYSKEYDOWN, &PropertyGrid::OnSysKeyDown},
    {WM_CHAR, &PropertyGrid::OnChar},
    {WM_LBUTTONDOWN, &PropertyGrid::OnLeftButtonDown},
    {WM_LBUTTONDBLCLK, &PropertyGrid::OnLeftButtonDoubleClick},
    {WM_MOUSEWHEEL, &PropertyGrid::OnMouseWheel},
    {WM_VSCROLL, &PropertyGrid::OnVerticalScroll},
    {WM_NOTIFY, &PropertyGrid::OnNotify},
    {PGM_GETGROUPCOUNT, &PropertyGrid::OnGetGroupCount},
    {PGM_GETROWCOUNT, &PropertyGrid::OnGetRowCount},
    {PGM_GETITEM, &PropertyGrid::OnGetItem},
    {PGM_GETSELECTION, &PropertyGrid::OnGetSelection},
    {PGM_GETLAYOUT, &PropertyGrid::OnGetLayout},
    {PGM_GETEDITOR, &PropertyGrid::OnGetEditor},
};

std::unique_ptr<win32::ScopedWindowClass> PropertyGrid::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = CustomWindow::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = PROPERTY_GRID_CLASS;
  return std::make_unique<win32::ScopedWindowClass>(windowClass);
}

PropertyGrid::PropertyGrid() : editor_(*this) {}

PropertyGrid::~PropertyGrid() {
  // Destroyed while this object is whole, so that its last messages reach it.
  if (hwnd_) ::DestroyWindow(hwnd_);
}

bool PropertyGrid::HandleMessage(const win32::Message& message, LRESULT* result) {
  return kMessages.Dispatch(*this, message, result);
}

bool PropertyGrid::Create(HINSTANCE instance, HWND parent, const RECT& rect, int id,
                          const PropertyGridOptions& options, PropertyGridListener* listener) {
  options_ = options;
  listener_ = listener;
  instance_ = instance;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_CLIPCHILDREN;
  return CustomWindow::Create(PROPERTY_GRID_CLASS, instance, parent, style, 0, rect, id) != nullptr;
}

LRESULT PropertyGrid::OnCreate(WPARAM, LPARAM) {
  font_ = win32::WindowFont(::GetParent(hwnd_));
  if (!font_) font_ = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (options_.header) {
    header_ = ::CreateWindowExW(0, WC_HEADERW, nullptr, WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_FULLDRAG,
                                0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHeaderId)), instance_,
                                nullptr);
    const std::u16string* titles[] = {&options_.nameTitle, &options_.valueTitle};
    for (int i = 0; i < 2; ++i) {
      HDITEMW item{};
      item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
      item.fmt = HDF_LEFT | HDF_STRING;
      item.cxy = 100;
      item.pszText = const_cast<LPWSTR>(Wide(*titles[i]));
      ::SendMessageW(header_, HDM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
  }
  // The scroll bar runs beside the rows only, not beside the description.
  scrollBar_ = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | SBS_VERT, 0, 0, 0, 0, hwnd_,
                                 nullptr, instance_, nullptr);
  editor_.Create(hwnd_, font_);
  MeasureFont();
  return 0;
}

LRESULT PropertyGrid::OnSize(WPARAM, LPARAM) {
  EndEdit(true);
  LayOut();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  return 0;
}

LRESULT PropertyGrid::OnSetFont(WPARAM font, LPARAM redraw) {
  font_ = reinterpret_cast<HFONT>(font);
  if (!font_) font_ = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (editor_.hwnd()) ::SendMessageW(editor_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  MeasureFont();
  LayOut();
  if (redraw) ::InvalidateRect(hwnd_, nullptr, FALSE);
  return 0;
}

LRESULT PropertyGrid::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(font_); }

void PropertyGrid::MeasureFont() {
  win32::ClientDc dc(hwnd_);
  dpi_ = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
  if (dpi_ <= 0) dpi_ = 96;
  TEXTMETRICW metrics{};
  {
    win32::ScopedSelectObject select(dc.get(), font_);
    ::GetTextMetricsW(dc.get(), &metrics);
  }
  textHeight_ = metrics.tmHeight;
  padding_ = std::max(2, Scale(3, dpi_));
  geometry_.rowHeight = metrics.tmHeight + std::max(4, Scale(4, dpi_));
  geometry_.gutter = geometry_.rowHeight;
  geometry_.buttonWidth = geometry_.rowHeight;
  LOGFONTW logical{};
  if (::GetObjectW(font_, sizeof(logical), &logical) == sizeof(logical)) {
    logical.lfWeight = FW_BOLD;
    boldFont_.reset(::CreateFontIndirectW(&logical));
  }
  if (header_) ::SendMessageW(header_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

int PropertyGrid::TextWidth(HFONT font, const std::u16string& text) const {
  win32::ClientDc dc(hwnd_);
  win32::ScopedSelectObject select(dc.get(), font ? font : font_);
  SIZE size{};
  ::GetTextExtentPoint32W(dc.get(), Wide(text), static_cast<int>(text.size()), &size);
  return size.cx;
}

int PropertyGrid::LongestNameWidth() const {
  int longest = 0;
  win32::ClientDc dc(hwnd_);
  win32::ScopedSelectObject select(dc.get(), font_);
  for (const auto& group : model_.groups()) {
    for (const auto& row : group.rows) {
      SIZE size{};
      ::GetTextExtentPoint32W(dc.get(), Wide(row.name), static_cast<int>(row.name.size()), &size);
      longest = std::max(longest, static_cast<int>(size.cx));
    }
  }
  return longest;
}

int PropertyGrid::DescriptionHeightNeeded(int width) const {
  const int margin = padding_ * 2;
  const int textWidth = std::max(1, width - 2 * margin);
  win32::ClientDc dc(hwnd_);
  win32::ScopedSelectObject select(dc.get(), font_);
  // At least two lines of description, for a grid whose rows say little.
  int tallest = textHeight_ * 2;
  for (const auto& group : model_.groups()) {
    for (const auto& row : group.rows) {
      RECT area{0, 0, textWidth, 0};
      ::DrawTextW(dc.get(), Wide(row.description), static_cast<int>(row.description.size()), &area,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_EXPANDTABS);
      tallest = std::max(tallest, static_cast<int>(area.bottom));
    }
  }
  // The bold name line, a small gap, the description, and the margins.
  return margin + textHeight_ + padding_ + tallest + margin;
}

void PropertyGrid::LayOut() {
  if (!hwnd_) return;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const int width = static_cast<int>(client.right);
  const int height = static_cast<int>(client.bottom);
  headerHeight_ = 0;
  if (header_) {
    RECT area = client;
    WINDOWPOS position{};
    HDLAYOUT layout{&area, &position};
    ::SendMessageW(header_, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    ::SetWindowPos(header_, position.hwndInsertAfter, position.x, position.y, position.cx,
                   position.cy, position.flags | SWP_NOACTIVATE);
    headerHeight_ = position.cy;
  }
  int listBottom = height;
  description_ = RECT{};
  descriptionNeeded_ = 0;
  if (options_.description) {
    descriptionNeeded_ = DescriptionHeightNeeded(width);
    // The rows keep most of the room even for a long description.
    const int most = std::max(textHeight_ * 3, (height - headerHeight_) * 2 / 5);
    const int shown = std::min(descriptionNeeded_, most);
    description_ = RECT{0, height - shown, width, height};
    listBottom = description_.top - Scale(3, dpi_);
  }
  geometry_.listTop = headerHeight_;
  geometry_.listBottom = std::max(geometry_.listTop, listBottom);
  // The scroll bar takes its width from the rows only when they do not all fit.
  const bool scrolling = model_.lineCount() > geometry_.PageLines();
  const int barWidth = scrolling ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
  geometry_.width = std::max(0, width - barWidth);
  if (scrollBar_) {
    ::SetWindowPos(scrollBar_, nullptr, geometry_.width, geometry_.listTop, barWidth,
                   geometry_.listBottom - geometry_.listTop,
                   SWP_NOZORDER | SWP_NOACTIVATE | (scrolling ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
  scrolling_ = scrolling;
  if (!dividerSet_) {
    // Wide enough for the longest name, between a third and three fifths.
    const int wanted = geometry_.gutter + LongestNameWidth() + 2 * padding_ + 1;
    geometry_.divider = std::clamp(wanted, geometry_.width / 3, geometry_.width * 3 / 5);
  }
  geometry_.divider = geometry_.ClampDivider(geometry_.divider);
  model_.SetPageSize(geometry_.PageLines());
  UpdateHeader();
  UpdateScrollBar();
}

void PropertyGrid::UpdateHeader() {
  if (!header_) return;
  updatingHeader_ = true;
  const int widths[] = {geometry_.divider, std::max(0, geometry_.width - geometry_.divider)};
  for (int i = 0; i < 2; ++i) {
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = widths[i];
    ::SendMessageW(header_, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  updatingHeader_ = false;
}

void PropertyGrid::UpdateScrollBar() {
  if (!scrollBar_) return;
  // Groups opened or closed may need the bar, or leave it with nothing to do.
  if ((model_.lineCount() > model_.pageSize()) != scrolling_) {
    LayOut();
    return;
  }
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, model_.lineCount() - 1);
  info.nPage = static_cast<UINT>(model_.pageSize());
  info.nPos = model_.top();
  ::SetScrollInfo(scrollBar_, SB_CTL, &info, TRUE);
}

void PropertyGrid::Relayout() {
  EndEdit(true);
  LayOut();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PropertyGrid::RedrawLine(GridLine line) {
  const int index = model_.IndexOf(line);
  if (index < model_.top() || index > model_.top() + model_.pageSize()) return;
  const GridCells cells = CellsAt(geometry_, index - model_.top(), line.isGroup());
  RECT area = ToRect(cells.line);
  ::InvalidateRect(hwnd_, &area, FALSE);
  // The description area shows the selected row's texts.
  if (line == model_.selection()) ::InvalidateRect(hwnd_, &description_, FALSE);
}

void PropertyGrid::SelectionMoved() {
  UpdateScrollBar();
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PropertyGrid::SelectAndShow(GridLine line) {
  EndEdit(true);
  if (!model_.Select(line)) return;
  model_.EnsureVisible(line);
  SelectionMoved();
  ::SetFocus(hwnd_);
}

void PropertyGrid::ToggleGroup(int group) {
  EndEdit(true);
  const auto& groups = model_.groups();
  if (group < 0 || group >= static_cast<int>(groups.size())) return;
  model_.SetExpanded(group, !groups[static_cast<std::size_t>(group)].expanded);
  SelectionMoved();
}

bool PropertyGrid::HasFocus() const {
  HWND focus = ::GetFocus();
  return focus && (focus == hwnd_ || focus == editor_.hwnd());
}

void PropertyGrid::OpenMenu(GridLine line) {
  if (!listener_ || !model_.RowAt(line)) return;
  EndEdit(true);
  model_.Select(line);
  model_.EnsureVisible(line);
  SelectionMoved();
  const GridCells cells = CellsAt(geometry_, model_.IndexOf(line) - model_.top(), false);
  POINT anchor{cells.button.left, cells.button.bottom};
  ::ClientToScreen(hwnd_, &anchor);
  pressed_ = line;
  RedrawLine(line);
  ::UpdateWindow(hwnd_);
  listener_->OnRowButton(line, anchor);
  pressed_ = GridLine{};
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

bool PropertyGrid::BeginEdit(const std::u16string* initial) {
  const GridLine line = model_.selection();
  const GridRow* row = model_.RowAt(line);
  if (!row || !row->editable || !editor_.hwnd()) return false;
  EndEdit(true);
  model_.EnsureVisible(line);
  SelectionMoved();
  const GridCells cells = CellsAt(geometry_, model_.IndexOf(line) - model_.top(), false);
  // The text sits where the cell draws it: after the padding, centred.
  const int left = cells.value.left + padding_ - 1;
  const int top = cells.value.top + (geometry_.rowHeight - textHeight_) / 2;
  editing_ = line;
  const std::u16string& text = initial ? *initial : row->value;
  ::SetWindowTextW(editor_.hwnd(), Wide(text));
  ::SetWindowPos(editor_.hwnd(), HWND_TOP, left, top, cells.value.right - left - 1, textHeight_,
                 SWP_SHOWWINDOW);
  ::SetFocus(editor_.hwnd());
  const auto end = static_cast<LPARAM>(text.size());
  ::SendMessageW(editor_.hwnd(), EM_SETSEL, initial ? static_cast<WPARAM>(end) : 0,
                 initial ? end : -1);
  return true;
}

void PropertyGrid::EndEdit(bool accept) {
  if (!editing_.valid()) return;
  const GridLine line = editing_;
  editing_ = GridLine{};
  const std::u16string text = WindowText(editor_.hwnd());
  // The focus comes back to the grid before the edit is hidden: a hidden
  // window keeps the keyboard if nothing takes it away.
  if (::GetFocus() == editor_.hwnd()) ::SetFocus(hwnd_);
  ::ShowWindow(editor_.hwnd(), SW_HIDE);
  if (accept) {
    if (GridRow* row = model_.RowAt(line)) row->value = text;
    if (listener_) listener_->OnRowEdited(line, text);
  }
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

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
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  EndEdit(true);
  model_.ScrollTo(model_.top() - delta * kWheelLines / WHEEL_DELTA);
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

// --- what the grid answers about itself ------------------------------------------------

LRESULT PropertyGrid::OnGetGroupCount(WPARAM, LPARAM) {
  return static_cast<LRESULT>(model_.groups().size());
}

LRESULT PropertyGrid::OnGetRowCount(WPARAM group, LPARAM) {
  if (group >= model_.groups().size()) return -1;
  return static_cast<LRESULT>(model_.groups()[group].rows.size());
}

LRESULT PropertyGrid::OnGetItem(WPARAM groupIndex, LPARAM lParam) {
  auto* item = reinterpret_cast<PROPERTYGRIDITEM*>(lParam);
  if (!item || groupIndex >= model_.groups().size()) return FALSE;
  const GridLine line{static_cast<int>(groupIndex), item->row < 0 ? -1 : item->row};
  const GridGroup& group = model_.groups()[groupIndex];
  const GridRow* row = model_.RowAt(line);
  if (!line.isGroup() && !row) return FALSE;
  const int row_id = item->row;
  *item = PROPERTYGRIDITEM{};
  item->row = row_id;
  UINT flags = 0;
  if (line.isGroup()) {
    flags |= PGIF_GROUP;
    if (group.expanded) flags |= PGIF_EXPANDED;
    CopyText(group.title, item->name);
    item->nameColour = ::GetSysColor(COLOR_BTNTEXT);
    if (TextWidth(boldFont_.get(), group.title) + 2 * padding_ > geometry_.width - geometry_.gutter) {
      flags |= PGIF_NAME_CLIPPED;
    }
  } else {
    CopyText(row->name, item->name);
    CopyText(row->value, item->value);
    CopyText(row->description, item->description);
    if (row->required) flags |= PGIF_REQUIRED;
    if (row->editable) flags |= PGIF_EDITABLE;
    if (options_.markModified && row->modified()) flags |= PGIF_MODIFIED;
    if (editing_ == line) flags |= PGIF_EDITING;
    item->nameColour = row->required ? kRequiredNameColour : ::GetSysColor(COLOR_WINDOWTEXT);
    const GridCells cells = CellsAt(geometry_, 0, false);
    if (TextWidth(font_, row->name) + 2 * padding_ > cells.name.width()) flags |= PGIF_NAME_CLIPPED;
    const HFONT valueFont = (flags & PGIF_MODIFIED) ? boldFont_.get() : font_;
    if (TextWidth(valueFont, row->value) + 2 * padding_ > cells.value.width()) {
      flags |= PGIF_VALUE_CLIPPED;
    }
  }
  if (model_.selection() == line) flags |= PGIF_SELECTED;
  const int index = model_.IndexOf(line);
  if (index >= 0 && model_.IsShownWhole(index)) {
    flags |= PGIF_SHOWN;
    const GridCells cells = CellsAt(geometry_, index - model_.top(), line.isGroup());
    item->nameRect = ToRect(cells.name);
    item->valueRect = ToRect(cells.value);
    item->buttonRect = ToRect(cells.button);
  }
  item->flags = flags;
  return TRUE;
}

LRESULT PropertyGrid::OnGetSelection(WPARAM, LPARAM lParam) {
  auto* line = reinterpret_cast<PROPERTYGRIDLINE*>(lParam);
  const GridLine selected = model_.selection();
  if (!line || !selected.valid()) return FALSE;
  line->group = selected.group;
  line->row = selected.row;
  return TRUE;
}

LRESULT PropertyGrid::OnGetLayout(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<PROPERTYGRIDLAYOUT*>(lParam);
  if (!layout) return FALSE;
  layout->rowHeight = geometry_.rowHeight;
  layout->headerHeight = headerHeight_;
  layout->divider = geometry_.divider;
  layout->descriptionRect = description_;
  layout->descriptionClipped = descriptionNeeded_ > description_.bottom - description_.top;
  layout->topLine = model_.top();
  layout->pageLines = model_.pageSize();
  return TRUE;
}

LRESULT PropertyGrid::OnGetEditor(WPARAM, LPARAM) {
  return editing_.valid() ? reinterpret_cast<LRESULT>(editor_.hwnd()) : 0;
}

}  // namespace mirdane::ui
