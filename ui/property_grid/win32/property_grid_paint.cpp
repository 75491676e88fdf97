// Painting the property grid, in the flat look: lines separated by light
// rules, a grey margin and group lines, no 3-D edges.
#include <algorithm>

#include "ui/property_grid/win32/property_grid.h"
#include "ui/win32/ui_text.h"

namespace mirdane::ui {
namespace {

constexpr UINT kCellText = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

RECT ToRect(const GridRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

void Fill(HDC dc, const RECT& area, int systemColour) {
  ::FillRect(dc, &area, ::GetSysColorBrush(systemColour));
}

void Rule(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  win32::UniqueHPen pen(::CreatePen(PS_SOLID, 1, colour));
  win32::ScopedSelectObject select(dc, pen.get());
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

// `overstrike` draws the text again one pixel to the right, for a bold font
// whose glyphs are not heavier than the regular ones.
void DrawLabel(HDC dc, const std::u16string& text, RECT area, UINT format, bool overstrike) {
  ::DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &area, format);
  if (!overstrike) return;
  ::OffsetRect(&area, 1, 0);
  ::DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &area, format);
}

void CellText(HDC dc, const std::u16string& text, RECT area, int padding, HFONT font,
              COLORREF colour, bool overstrike = false) {
  win32::ScopedSelectObject select(dc, font);
  ::SetTextColor(dc, colour);
  area.left += padding;
  area.right -= padding;
  DrawLabel(dc, text, area, kCellText, overstrike);
}

}  // namespace

COLORREF RequiredNameColour() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  if (::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
      (contrast.dwFlags & HCF_HIGHCONTRASTON)) {
    return ::GetSysColor(COLOR_HOTLIGHT);
  }
  return kRequiredNameColour;
}

LRESULT PropertyGrid::OnEraseBackground(WPARAM, LPARAM) { return 1; }  // Paint covers it all

LRESULT PropertyGrid::OnPaint(WPARAM, LPARAM) {
  win32::PaintDc paint(hwnd_);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  // Drawn off screen first, so that moving through the rows does not flicker.
  win32::UniqueHdc memory(::CreateCompatibleDC(paint.get()));
  win32::UniqueHBitmap bitmap(::CreateCompatibleBitmap(paint.get(), std::max(1L, client.right),
                                                       std::max(1L, client.bottom)));
  if (!memory || !bitmap) {
    Paint(paint.get(), client);
    return 0;
  }
  {
    win32::ScopedSelectObject select(memory.get(), bitmap.get());
    Paint(memory.get(), client);
    ::BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }
  return 0;
}

LRESULT PropertyGrid::OnPrintClient(WPARAM dc, LPARAM) {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  Paint(reinterpret_cast<HDC>(dc), client);
  return 0;
}

void PropertyGrid::Paint(HDC dc, const RECT& client) {
  Fill(dc, client, COLOR_WINDOW);
  ::SetBkMode(dc, TRANSPARENT);
  const int saved = ::SaveDC(dc);
  // A line cut by the description area is drawn only down to it.
  ::IntersectClipRect(dc, 0, geometry_.listTop, geometry_.width, geometry_.listBottom);
  const auto& lines = model_.lines();
  for (int position = 0;; ++position) {
    const int index = model_.top() + position;
    const int top = geometry_.listTop + position * geometry_.rowHeight;
    if (index >= model_.lineCount() || top >= geometry_.listBottom) break;
    PaintLine(dc, position, lines[static_cast<std::size_t>(index)]);
  }
  ::RestoreDC(dc, saved);
  if (options_.description) PaintDescription(dc);
}

void PropertyGrid::PaintLine(HDC dc, int position, GridLine line) {
  const GridCells cells = CellsAt(geometry_, position, line.isGroup());
  const bool selected = line == model_.selection();
  if (line.isGroup()) {
    PaintGroupLine(dc, cells, model_.groups()[static_cast<std::size_t>(line.group)], selected);
  } else if (const GridRow* row = model_.RowAt(line)) {
    PaintRowLine(dc, cells, *row, selected, line == pressed_);
  }
}

void PropertyGrid::PaintGroupLine(HDC dc, const GridCells& cells, const GridGroup& group,
                                  bool selected) {
  Fill(dc, ToRect(cells.line), COLOR_BTNFACE);
  // The box: a minus while the group is open, a plus while it is closed.
  const RECT box = ToRect(cells.expander);
  Fill(dc, box, COLOR_WINDOW);
  ::FrameRect(dc, &box, ::GetSysColorBrush(COLOR_BTNSHADOW));
  const int middleX = static_cast<int>(box.left + box.right) / 2;
  const int middleY = static_cast<int>(box.top + box.bottom) / 2;
  const int arm = std::max(2, static_cast<int>(box.right - box.left) / 2 - 2);
  const COLORREF sign = ::GetSysColor(COLOR_BTNTEXT);
  Rule(dc, middleX - arm, middleY, middleX + arm + 1, middleY, sign);
  if (!group.expanded) Rule(dc, middleX, middleY - arm, middleX, middleY + arm + 1, sign);

  RECT title = ToRect(cells.name);
  COLORREF colour = ::GetSysColor(COLOR_BTNTEXT);
  if (selected) {
    RECT mark = title;
    mark.right = std::min<LONG>(title.right,
                                title.left + TextWidth(boldFont_.get(), group.title) + 2 * padding_);
    if (HasFocus()) {
      Fill(dc, mark, COLOR_HIGHLIGHT);
      colour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
      ::FrameRect(dc, &mark, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
  }
  CellText(dc, group.title, title, padding_, boldFont_.get(), colour, overstrikeBold_);
}

void PropertyGrid::PaintRowLine(HDC dc, const GridCells& cells, const GridRow& row, bool selected,
                                bool pressed) {
  const RECT line = ToRect(cells.line);
  Fill(dc, RECT{0, line.top, geometry_.gutter, line.bottom}, COLOR_BTNFACE);

  RECT name = ToRect(cells.name);
  COLORREF nameColour = row.required ? RequiredNameColour() : ::GetSysColor(COLOR_WINDOWTEXT);
  if (selected) {
    const bool focused = HasFocus();
    Fill(dc, name, focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    if (focused) {
      nameColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
      // The button face is close to the window's white on current systems:
      // without the frame the selection vanishes while a question the page
      // asks has the focus, and the question is about this very row.
      RECT mark = name;
      mark.bottom -= 1;  // the rule under the line stays
      ::FrameRect(dc, &mark, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
  }
  CellText(dc, row.name, name, padding_, font_, nameColour);

  const bool marked = options_.markModified && row.modified();
  CellText(dc, row.value, ToRect(cells.value), padding_, marked ? boldFont_.get() : font_,
           ::GetSysColor(COLOR_WINDOWTEXT), marked && overstrikeBold_);
  PaintButton(dc, cells.button, selected, pressed);

  // The rules: under the line, and between the columns.
  const COLORREF rule = ::GetSysColor(COLOR_BTNFACE);
  Rule(dc, geometry_.gutter, line.bottom - 1, line.right, line.bottom - 1, rule);
  Rule(dc, geometry_.divider, line.top, geometry_.divider, line.bottom, rule);
}

void PropertyGrid::PaintButton(HDC dc, const GridRect& rect, bool selected, bool pressed) {
  RECT area = ToRect(rect);
  area.bottom -= 1;  // the rule under the line stays visible
  // Every row has its button; the selected row's is drawn as a push button,
  // the others as the arrow alone, so that the column stays quiet.
  if (selected || pressed) {
    ::DrawFrameControl(dc, &area, DFC_BUTTON,
                       DFCS_BUTTONPUSH | DFCS_FLAT | (pressed ? DFCS_PUSHED : 0));
  }
  const int width = std::max(5, (static_cast<int>(area.right - area.left) / 3) | 1);
  const int half = width / 2;
  const int x = static_cast<int>(area.left + area.right) / 2 + (pressed ? 1 : 0);
  const int y = static_cast<int>(area.top + area.bottom) / 2 - half / 2 + (pressed ? 1 : 0);
  const POINT arrow[] = {{x - half, y}, {x + half, y}, {x, y + half}};
  const COLORREF colour = ::GetSysColor((selected || pressed) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  win32::UniqueHBrush brush(::CreateSolidBrush(colour));
  win32::UniqueHPen pen(::CreatePen(PS_SOLID, 1, colour));
  win32::ScopedSelectObject selectBrush(dc, brush.get());
  win32::ScopedSelectObject selectPen(dc, pen.get());
  ::Polygon(dc, arrow, 3);
}

void PropertyGrid::PaintDescription(HDC dc) {
  if (description_.bottom <= description_.top) return;
  // The band between the rows and the description.
  Fill(dc, RECT{0, geometry_.listBottom, description_.right, description_.top}, COLOR_BTNFACE);
  Fill(dc, description_, COLOR_BTNFACE);
  ::FrameRect(dc, &description_, ::GetSysColorBrush(COLOR_BTNSHADOW));
  const GridLine selected = model_.selection();
  if (!selected.valid()) return;
  const int margin = padding_ * 2;
  RECT area{description_.left + margin, description_.top + margin, description_.right - margin,
            description_.bottom - margin};
  const COLORREF colour = ::GetSysColor(COLOR_BTNTEXT);
  ::SetTextColor(dc, colour);
  const GridRow* row = model_.RowAt(selected);
  const std::u16string& title =
      row ? row->name : model_.groups()[static_cast<std::size_t>(selected.group)].title;
  {
    win32::ScopedSelectObject select(dc, boldFont_.get());
    RECT titleArea = area;
    titleArea.bottom = titleArea.top + textHeight_;
    DrawLabel(dc, title, titleArea, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, overstrikeBold_);
  }
  if (!row) return;
  area.top += textHeight_ + padding_;
  win32::ScopedSelectObject select(dc, font_);
  ::DrawTextW(dc, Wide(row->description), static_cast<int>(row->description.size()), &area,
              DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_EXPANDTABS | DT_END_ELLIPSIS);
}

}  // namespace mirdane::ui
