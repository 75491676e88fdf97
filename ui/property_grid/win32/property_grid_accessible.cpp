#include "ui/property_grid/win32/property_grid_accessible.h"

#include <algorithm>
#include <string>

#include "ui/property_grid/win32/property_grid.h"
#include "ui/win32/ui_text.h"
#include "win32/window.h"

namespace mirdane::ui {
namespace {

// Every method: disconnected once the grid is gone, and no exception out.
template <typename Body>
::HRESULT Answer(const PropertyGrid* grid, Body&& body) noexcept {
  if (!grid || !grid->hwnd()) return CO_E_OBJNOTCONNECTED;
  return win32::Guarded(body, [](::HRESULT failure) { return failure; });
}

::HRESULT OutString(const std::u16string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = ::SysAllocStringLen(Wide(text), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

::HRESULT OutLong(long value, VARIANT* out) {
  if (!out) return E_POINTER;
  ::VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

}  // namespace

// --- the lines as children ------------------------------------------------------------

int PropertyGrid::ShownLineCount() const {
  if (geometry_.rowHeight <= 0) return 0;
  // Lines cut by the bottom of the list count: they are on screen.
  const int room = (geometry_.listBottom - geometry_.listTop + geometry_.rowHeight - 1) / geometry_.rowHeight;
  return std::max(0, std::min(room, model_.lineCount() - model_.top()));
}

GridLine PropertyGrid::ShownLine(int position) const {
  if (position < 0 || position >= ShownLineCount()) return GridLine{};
  return model_.lines()[static_cast<std::size_t>(model_.top() + position)];
}

// The line of a child id (1 for the first line on screen), invalid for the grid itself.
static GridLine LineOf(const PropertyGrid& grid, const VARIANT& child, bool* self) {
  *self = false;
  if (child.vt != VT_I4) return GridLine{};
  if (child.lVal == CHILDID_SELF) {
    *self = true;
    return GridLine{};
  }
  return grid.ShownLine(child.lVal - 1);
}

GridAccessible* GridAccessible::Create(PropertyGrid* grid) { return new GridAccessible(grid); }

template <typename Self, typename Line>
::HRESULT GridAccessible::ForChild(const VARIANT& child, Self&& self, Line&& line) {
  return Answer(grid_, [&] {
    bool isSelf = false;
    const GridLine found = LineOf(*grid_, child, &isSelf);
    if (isSelf) return self();
    if (!found.valid()) return E_INVALIDARG;
    return line(found);
  });
}

IAccessible* GridAccessible::Standard() {
  if (!standard_ && grid_ && grid_->hwnd()) {
    ::CreateStdAccessibleObject(grid_->hwnd(), OBJID_CLIENT, __uuidof(IAccessible), standard_.put_void());
  }
  return standard_.get();
}

::HRESULT GridAccessible::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG GridAccessible::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG GridAccessible::Release() {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

::HRESULT GridAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
::HRESULT GridAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
::HRESULT GridAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
::HRESULT GridAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

::HRESULT GridAccessible::get_accParent(IDispatch** parent) {
  return Answer(grid_, [&] {
    IAccessible* standard = Standard();
    return standard ? standard->get_accParent(parent) : E_FAIL;
  });
}

::HRESULT GridAccessible::get_accChildCount(long* count) {
  return Answer(grid_, [&] {
    if (!count) return E_POINTER;
    *count = grid_->ShownLineCount();
    return S_OK;
  });
}

::HRESULT GridAccessible::get_accChild(VARIANT child, IDispatch** object) {
  return Answer(grid_, [&] {
    if (!object) return E_POINTER;
    *object = nullptr;
    bool self = false;
    // The lines are simple elements: their parent answers for them.
    return LineOf(*grid_, child, &self).valid() ? S_FALSE : E_INVALIDARG;
  });
}

::HRESULT GridAccessible::get_accName(VARIANT child, BSTR* name) {
  return ForChild(child, [&] { return Standard() ? Standard()->get_accName(child, name) : S_FALSE; }, [&](GridLine line) {
    const GridRow* row = grid_->model_.RowAt(line);
    return OutString(row ? row->name : grid_->model_.groups()[static_cast<std::size_t>(line.group)].title, name);
  });
}

::HRESULT GridAccessible::get_accValue(VARIANT child, BSTR* value) {
  if (value) *value = nullptr;
  return ForChild(child, [&] { return S_FALSE; }, [&](GridLine line) {
    const GridRow* row = grid_->model_.RowAt(line);
    if (!row) return S_FALSE;
    // What is being typed is the value a reader should hear.
    return OutString(grid_->editing_ == line ? WindowText(grid_->editor_.hwnd()) : row->value, value);
  });
}

::HRESULT GridAccessible::get_accDescription(VARIANT child, BSTR* description) {
  if (description) *description = nullptr;
  return ForChild(child, [&] { return S_FALSE; }, [&](GridLine line) {
    const GridRow* row = grid_->model_.RowAt(line);
    if (!row) return S_FALSE;
    // The red of a required name is not heard: the description says it first.
    if (row->required) return OutString(u"Required; " + row->description, description);
    return OutString(row->description, description);
  });
}

::HRESULT GridAccessible::get_accRole(VARIANT child, VARIANT* role) {
  return ForChild(child, [&] { return OutLong(ROLE_SYSTEM_TABLE, role); }, [&](GridLine line) {
    return OutLong(line.isGroup() ? ROLE_SYSTEM_ROWHEADER : ROLE_SYSTEM_ROW, role);
  });
}

::HRESULT GridAccessible::get_accState(VARIANT child, VARIANT* state) {
  return ForChild(child, [&] { return Standard() ? Standard()->get_accState(child, state) : E_FAIL; }, [&](GridLine line) {
    long flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (grid_->model_.selection() == line) {
      flags |= STATE_SYSTEM_SELECTED;
      if (grid_->HasFocus()) flags |= STATE_SYSTEM_FOCUSED;
    }
    if (line.isGroup()) {
      flags |= grid_->model_.groups()[static_cast<std::size_t>(line.group)].expanded
                   ? STATE_SYSTEM_EXPANDED
                   : STATE_SYSTEM_COLLAPSED;
    } else {
      // Every row's value is chosen from its menu; some also take typing.
      flags |= STATE_SYSTEM_HASPOPUP;
      if (!grid_->model_.RowAt(line)->editable) flags |= STATE_SYSTEM_READONLY;
    }
    if (!grid_->model_.IsShownWhole(grid_->model_.IndexOf(line))) flags |= STATE_SYSTEM_OFFSCREEN;
    return OutLong(flags, state);
  });
}

::HRESULT GridAccessible::get_accHelp(VARIANT child, BSTR* help) {
  if (help) *help = nullptr;
  return ForChild(child, [&] { return S_FALSE; }, [&](GridLine line) {
    if (line.isGroup()) return S_FALSE;
    return OutString(grid_->model_.groups()[static_cast<std::size_t>(line.group)].title, help);
  });
}

::HRESULT GridAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
  if (file) *file = nullptr;
  if (topic) *topic = 0;
  return S_FALSE;
}

::HRESULT GridAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return Answer(grid_, [&] {
    if (shortcut) *shortcut = nullptr;
    bool self = false;
    const GridLine line = LineOf(*grid_, child, &self);
    if (self) return Standard() ? Standard()->get_accKeyboardShortcut(child, shortcut) : S_FALSE;
    return line.valid() ? S_FALSE : E_INVALIDARG;
  });
}

::HRESULT GridAccessible::get_accFocus(VARIANT* child) {
  return Answer(grid_, [&] {
    if (!child) return E_POINTER;
    ::VariantInit(child);
    if (!grid_->HasFocus()) return S_FALSE;
    for (int position = 0; position < grid_->ShownLineCount(); ++position) {
      if (grid_->ShownLine(position) == grid_->model_.selection()) return OutLong(position + 1, child);
    }
    return OutLong(CHILDID_SELF, child);
  });
}

::HRESULT GridAccessible::get_accSelection(VARIANT* children) {
  return Answer(grid_, [&] {
    if (!children) return E_POINTER;
    ::VariantInit(children);
    for (int position = 0; position < grid_->ShownLineCount(); ++position) {
      if (grid_->ShownLine(position) == grid_->model_.selection()) return OutLong(position + 1, children);
    }
    return S_FALSE;
  });
}

::HRESULT GridAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (action) *action = nullptr;
  return ForChild(child, [&] { return S_FALSE; }, [&](GridLine line) {
    if (line.isGroup()) {
      const bool open = grid_->model_.groups()[static_cast<std::size_t>(line.group)].expanded;
      return OutString(open ? u"Collapse" : u"Expand", action);
    }
    return grid_->model_.RowAt(line)->editable ? OutString(u"Edit", action) : S_FALSE;
  });
}

::HRESULT GridAccessible::accSelect(long flags, VARIANT child) {
  return ForChild(child, [&] { return Standard() ? Standard()->accSelect(flags, child) : E_FAIL; }, [&](GridLine line) {
    if (!(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS))) return E_INVALIDARG;
    grid_->SelectAndShow(line);
    return S_OK;
  });
}

::HRESULT GridAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  return Answer(grid_, [&] {
    if (!left || !top || !width || !height) return E_POINTER;
    bool self = false;
    const GridLine line = LineOf(*grid_, child, &self);
    if (self) return Standard() ? Standard()->accLocation(left, top, width, height, child) : E_FAIL;
    if (!line.valid()) return E_INVALIDARG;
    const GridCells cells = CellsAt(grid_->geometry_, child.lVal - 1, line.isGroup());
    POINT corner{cells.line.left, cells.line.top};
    ::ClientToScreen(grid_->hwnd(), &corner);
    *left = corner.x;
    *top = corner.y;
    *width = cells.line.width();
    // A line cut by the description area ends where it is cut.
    *height = std::min(cells.line.bottom, grid_->geometry_.listBottom) - cells.line.top;
    return S_OK;
  });
}

::HRESULT GridAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  return Answer(grid_, [&] {
    if (!end) return E_POINTER;
    ::VariantInit(end);
    bool self = false;
    const GridLine line = LineOf(*grid_, start, &self);
    const long count = grid_->ShownLineCount();
    if (self) {
      if (direction == NAVDIR_FIRSTCHILD) return count > 0 ? OutLong(1, end) : S_FALSE;
      if (direction == NAVDIR_LASTCHILD) return count > 0 ? OutLong(count, end) : S_FALSE;
      return Standard() ? Standard()->accNavigate(direction, start, end) : S_FALSE;
    }
    if (!line.valid()) return E_INVALIDARG;
    long next = start.lVal;
    switch (direction) {
      case NAVDIR_NEXT:
      case NAVDIR_DOWN: ++next; break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP: --next; break;
      default: return S_FALSE;
    }
    return next >= 1 && next <= count ? OutLong(next, end) : S_FALSE;
  });
}

::HRESULT GridAccessible::accHitTest(long x, long y, VARIANT* child) {
  return Answer(grid_, [&] {
    if (!child) return E_POINTER;
    ::VariantInit(child);
    POINT point{x, y};
    ::ScreenToClient(grid_->hwnd(), &point);
    RECT client{};
    ::GetClientRect(grid_->hwnd(), &client);
    if (!::PtInRect(&client, point)) return S_FALSE;
    const GridHit hit = HitTest(grid_->model_, grid_->geometry_, point.x, point.y);
    for (int position = 0; hit.line.valid() && position < grid_->ShownLineCount(); ++position) {
      if (grid_->ShownLine(position) == hit.line) return OutLong(position + 1, child);
    }
    return OutLong(CHILDID_SELF, child);
  });
}

::HRESULT GridAccessible::accDoDefaultAction(VARIANT child) {
  return ForChild(child, [&] { return DISP_E_MEMBERNOTFOUND; }, [&](GridLine line) {
    if (line.isGroup()) {
      grid_->ToggleGroup(line.group);
      return S_OK;
    }
    if (!grid_->model_.RowAt(line)->editable) return DISP_E_MEMBERNOTFOUND;
    grid_->SelectAndShow(line);
    return grid_->BeginEdit() ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
}

::HRESULT GridAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
::HRESULT GridAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace mirdane::ui
