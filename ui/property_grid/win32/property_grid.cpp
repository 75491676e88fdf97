#include "ui/property_grid/win32/property_grid.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/property_grid/win32/property_grid_messages.h"
#include "ui/win32/ui_text.h"
#include "win32/user_handles.h"

namespace mirdane::ui {
namespace {

constexpr int kHeaderId = 1;

int Scale(int value, int dpi) { return ::MulDiv(value, dpi, 96); }

// The pixels a sample drawn in `font` covers.
int InkOf(HDC reference, HFONT font, int size) {
  win32::UniqueHdc memory(::CreateCompatibleDC(reference));
  win32::UniqueHBitmap bitmap(::CreateBitmap(size, size, 1, 1, nullptr));
  if (!memory || !bitmap) return 0;
  win32::ScopedSelectObject selectBitmap(memory.get(), bitmap.get());
  win32::ScopedSelectObject selectFont(memory.get(), font);
  RECT area{0, 0, size, size};
  ::FillRect(memory.get(), &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::TextOutW(memory.get(), 0, 0, L"HWem", 4);
  int ink = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) ink += ::GetPixel(memory.get(), x, y) == RGB(0, 0, 0) ? 1 : 0;
  }
  return ink;
}

RECT ToRect(const GridRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

const win32::MessageMap<PropertyGrid> PropertyGrid::kMessages = {
    win32::OnMessage(WM_CREATE, &PropertyGrid::OnCreate),
    win32::OnMessage(WM_SIZE, &PropertyGrid::OnSize),
    win32::OnMessage(WM_SETFONT, &PropertyGrid::OnSetFont),
    win32::OnMessage(WM_GETFONT, &PropertyGrid::OnGetFont),
    win32::OnMessage(WM_PAINT, &PropertyGrid::OnPaint),
    win32::OnMessage(WM_PRINTCLIENT, &PropertyGrid::OnPrintClient),
    win32::OnMessage(WM_ERASEBKGND, &PropertyGrid::OnEraseBackground),
    win32::OnMessage(WM_SETFOCUS, &PropertyGrid::OnFocusChange),
    win32::OnMessage(WM_KILLFOCUS, &PropertyGrid::OnFocusChange),
    win32::OnMessage(WM_GETDLGCODE, &PropertyGrid::OnGetDlgCode),
    win32::OnMessage(WM_KEYDOWN, &PropertyGrid::OnKeyDown),
    win32::OnMessage(WM_SYSKEYDOWN, &PropertyGrid::OnSysKeyDown),
    win32::OnMessage(WM_CHAR, &PropertyGrid::OnChar),
    win32::OnMessage(WM_LBUTTONDOWN, &PropertyGrid::OnLeftButtonDown),
    win32::OnMessage(WM_LBUTTONDBLCLK, &PropertyGrid::OnLeftButtonDoubleClick),
    win32::OnMessage(WM_MOUSEWHEEL, &PropertyGrid::OnMouseWheel),
    win32::OnMessage(WM_VSCROLL, &PropertyGrid::OnVerticalScroll),
    win32::OnMessage(WM_NOTIFY, &PropertyGrid::OnNotify),
    win32::OnMessage(PGM_GETGROUPCOUNT, &PropertyGrid::OnGetGroupCount),
    win32::OnMessage(PGM_GETROWCOUNT, &PropertyGrid::OnGetRowCount),
    win32::OnMessage(PGM_GETITEM, &PropertyGrid::OnGetItem),
    win32::OnMessage(PGM_GETSELECTION, &PropertyGrid::OnGetSelection),
    win32::OnMessage(PGM_GETLAYOUT, &PropertyGrid::OnGetLayout),
    win32::OnMessage(PGM_GETEDITOR, &PropertyGrid::OnGetEditor),
    win32::OnMessage(WM_GETOBJECT, &PropertyGrid::OnGetObject),
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
  // A screen reader may hold the accessible object longer than the grid lives.
  if (accessible_) accessible_->Disconnect();
}

LRESULT PropertyGrid::OnGetObject(WPARAM flags, LPARAM objectId) {
  // The id is a 32-bit LONG, zero-extended into a 64-bit LPARAM.
  if (static_cast<LONG>(static_cast<DWORD>(objectId)) != OBJID_CLIENT) return Default();
  if (!accessible_) accessible_ = win32::ComPtr<GridAccessible>::Attach(GridAccessible::Create(this));
  return ::LresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(accessible_.get()));
}

void PropertyGrid::NotifySelectedLine(DWORD event) {
  for (int position = 0; position < ShownLineCount(); ++position) {
    if (ShownLine(position) == model_.selection()) {
      ::NotifyWinEvent(event, hwnd_, OBJID_CLIENT, position + 1);
      return;
    }
  }
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
    // Some fonts carry bitmaps for a few sizes in which the bold face has
    // the regular glyphs (Wine's Tahoma at 16 to 18 pixels, the 144 DPI
    // dialog font): headings would lose their weight there.
    const int sample = 4 * std::max(1, static_cast<int>(metrics.tmHeight));
    overstrikeBold_ = boldFont_ && InkOf(dc.get(), boldFont_.get(), sample) <= InkOf(dc.get(), font_, sample);
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
  NotifySelectedLine(EVENT_OBJECT_SELECTION);
  if (::GetFocus() == hwnd_) NotifySelectedLine(EVENT_OBJECT_FOCUS);
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

}  // namespace mirdane::ui
