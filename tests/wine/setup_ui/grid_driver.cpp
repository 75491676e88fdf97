// The grid, its menus, the required-field dialog, pixels and screenshots.
#include "tests/wine/setup_ui/sheet_driver.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include "win32/com_ptr.h"
#include "win32/gdi.h"

namespace mirdane::wine_test {
namespace {

constexpr UINT kMenuGetHmenu = 0x01E1;  // MN_GETHMENU
constexpr wchar_t kMenuClass[] = L"#32768";

BOOL CALLBACK CollectMenuWindows(HWND window, LPARAM data) {
  if (::IsWindowVisible(window) && ClassOf(window) == kMenuClass) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> MenuWindows(DWORD thread) {
  std::vector<HWND> windows;
  ::EnumThreadWindows(thread, CollectMenuWindows, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HMENU MenuOf(HWND menuWindow) {
  return reinterpret_cast<HMENU>(::SendMessageW(menuWindow, kMenuGetHmenu, 0, 0));
}

// The window showing `menu`, once it is up.
HWND WaitForMenuWindow(DWORD thread, HMENU menu) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND window : MenuWindows(thread)) {
      if (!menu || MenuOf(window) == menu) found = window;
    }
    return found != nullptr;
  }, 5000);
  return found;
}

std::wstring MenuString(HMENU menu, int position) {
  wchar_t text[300] = {};
  ::GetMenuStringW(menu, static_cast<UINT>(position), text, 300, MF_BYPOSITION);
  return text;
}

// The text a menu holds for a name shown literally (ampersands doubled).
std::wstring AsMenuText(const std::wstring& name) {
  std::wstring text;
  for (wchar_t c : name) {
    if (c == L'&') text.push_back(L'&');
    text.push_back(c);
  }
  return text;
}

int FindMenuEntry(HMENU menu, const std::wstring& name) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (MenuString(menu, i) == AsMenuText(name)) return i;
  }
  return -1;
}

int HighlightedEntry(HMENU menu) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return i;
  }
  return -1;
}

// Highlights entry `position` of the open menu the way a user does, by
// resting the pointer on it. The keys alone are not enough under Wine: the
// menu also follows the pointer, and a pointer resting outside the menu
// takes the highlight away again whenever the screen changes under it.
bool Highlight(HWND, HMENU menu, int position) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    RECT item{};
    if (!::GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &item)) return false;
    ::SetCursorPos((item.left + item.right) / 2 + attempt, (item.top + item.bottom) / 2);
    if (WaitUntil([&] { return HighlightedEntry(menu) == position; }, 2000)) return true;
  }
  return false;
}

// Opens the row menu and walks down `path`, leaving the last entry highlighted.
bool WalkMenu(DWORD thread, HWND grid, const std::vector<std::wstring>& path, HWND* lastWindow,
              HMENU* lastMenu, int* lastPosition) {
  PostKey(grid, VK_F4);
  HWND window = WaitForMenuWindow(thread, nullptr);
  if (!window) {
    std::printf("WalkMenu: no menu came up\n");
    return false;
  }
  HMENU menu = MenuOf(window);
  for (std::size_t depth = 0; depth < path.size(); ++depth) {
    const int position = FindMenuEntry(menu, path[depth]);
    if (position < 0 || !Highlight(window, menu, position)) {
      std::printf("WalkMenu: at depth %zu entry %d of %d, highlighted %d, window %p menus %zu visible %d\n", depth, position,
                  ::GetMenuItemCount(menu), HighlightedEntry(menu), static_cast<void*>(window), MenuWindows(thread).size(), ::IsWindowVisible(window));
      SaveScreenshot({::GetDesktopWindow()}, ScreenshotFolder() / "walk-failure.bmp");
      return false;
    }
    *lastWindow = window;
    *lastMenu = menu;
    *lastPosition = position;
    if (depth + 1 == path.size()) return true;
    HMENU submenu = ::GetSubMenu(menu, position);
    if (!submenu) return false;
    PostKey(window, VK_RIGHT);
    window = WaitForMenuWindow(thread, submenu);
    if (!window) {
      std::printf("WalkMenu: submenu %zu did not open\n", depth);
      return false;
    }
    menu = submenu;
  }
  *lastWindow = window;
  *lastMenu = menu;
  *lastPosition = -1;
  return true;
}

}  // namespace

// --- the grid ---------------------------------------------------------------------------------------

HWND GridOf(HWND page) { return page ? ::FindWindowExW(page, nullptr, PROPERTY_GRID_CLASS, nullptr) : nullptr; }

PROPERTYGRIDITEM GridItem(HWND grid, int group, int row) {
  PROPERTYGRIDITEM item{};
  item.row = row;
  if (!::SendMessageW(grid, PGM_GETITEM, static_cast<WPARAM>(group), reinterpret_cast<LPARAM>(&item))) {
    item = PROPERTYGRIDITEM{};
    item.row = -2;  // no such line
  }
  return item;
}

bool GridSelection(HWND grid, PROPERTYGRIDLINE* line) {
  return ::SendMessageW(grid, PGM_GETSELECTION, 0, reinterpret_cast<LPARAM>(line)) != 0;
}

int GridRowCount(HWND grid, int group) {
  return static_cast<int>(::SendMessageW(grid, PGM_GETROWCOUNT, static_cast<WPARAM>(group), 0));
}

std::vector<AccessibleLine> AccessibleLines(HWND grid, int* focus) {
  std::vector<AccessibleLine> lines;
  if (focus) *focus = -1;
  win32::ComPtr<IAccessible> object;
  if (FAILED(::AccessibleObjectFromWindow(grid, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          object.put_void()))) {
    return lines;
  }
  long count = 0;
  if (FAILED(object->get_accChildCount(&count))) return lines;
  // A text member of a child, empty when it has none.
  using TextMember = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
  auto text = [&](TextMember member, const VARIANT& child) {
    BSTR value = nullptr;
    const HRESULT result = (object.get()->*member)(child, &value);
    std::wstring out = SUCCEEDED(result) && value ? std::wstring(value, ::SysStringLen(value)) : L"";
    ::SysFreeString(value);
    return out;
  };
  for (long id = 1; id <= count; ++id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    AccessibleLine line;
    line.name = text(&IAccessible::get_accName, child);
    line.value = text(&IAccessible::get_accValue, child);
    line.description = text(&IAccessible::get_accDescription, child);
    line.help = text(&IAccessible::get_accHelp, child);
    VARIANT answer{};
    if (SUCCEEDED(object->get_accRole(child, &answer)) && answer.vt == VT_I4) line.role = answer.lVal;
    ::VariantClear(&answer);
    if (SUCCEEDED(object->get_accState(child, &answer)) && answer.vt == VT_I4) line.state = answer.lVal;
    ::VariantClear(&answer);
    long left = 0, top = 0, width = 0, height = 0;
    if (SUCCEEDED(object->accLocation(&left, &top, &width, &height, child))) {
      line.location = RECT{left, top, left + width, top + height};
    }
    lines.push_back(line);
  }
  VARIANT focused{};
  if (focus && object->get_accFocus(&focused) == S_OK && focused.vt == VT_I4) *focus = focused.lVal - 1;
  ::VariantClear(&focused);
  return lines;
}

bool SelectGridRow(HWND grid, int group, int row) {
  // The line's position among the open groups' lines.
  int index = 0;
  for (int g = 0; g < group; ++g) {
    ++index;
    if (GridItem(grid, g, -1).flags & PGIF_EXPANDED) index += GridRowCount(grid, g);
  }
  index += 1 + row;
  PostKey(grid, VK_HOME);
  for (int i = 0; i < index; ++i) PostKey(grid, VK_DOWN);
  PROPERTYGRIDLINE line{-9, -9};
  const bool reached = WaitUntil([&] {
    return GridSelection(grid, &line) && line.group == group && line.row == row;
  });
  if (!reached) {
    DWORD thread = ::GetWindowThreadProcessId(grid, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(thread, &info);
    std::printf("SelectGridRow: at %d.%d, focus %p capture %p flags %lx menus %zu; %s\n", line.group,
                line.row, static_cast<void*>(info.hwndFocus), static_cast<void*>(info.hwndCapture),
                static_cast<unsigned long>(info.flags), MenuWindows(thread).size(),
                DescribeThreadWindows(thread).c_str());
  }
  return reached;
}

bool ChooseFromRowMenu(DWORD thread, HWND grid, const std::vector<std::wstring>& path) {
  HWND window = nullptr;
  HMENU menu = nullptr;
  int position = -1;
  if (!WalkMenu(thread, grid, path, &window, &menu, &position) || position < 0) {
    CloseMenus(thread);
    return false;
  }
  PostKey(window, VK_RETURN);
  return WaitUntil([&] { return MenuWindows(thread).empty(); }, 5000);
}

std::vector<MenuEntry> OpenRowMenuEntries(DWORD thread, HWND grid,
                                          const std::vector<std::wstring>& submenuPath,
                                          const std::function<void()>& whileOpen) {
  std::vector<MenuEntry> entries;
  HWND window = nullptr;
  HMENU menu = nullptr;
  int position = -1;
  bool reached = WalkMenu(thread, grid, submenuPath, &window, &menu, &position);
  if (reached && position >= 0) {
    // The last name of the path is a submenu: open it and read its entries.
    HMENU submenu = ::GetSubMenu(menu, position);
    PostKey(window, VK_RIGHT);
    reached = submenu && WaitForMenuWindow(thread, submenu);
    menu = submenu;
  }
  if (reached && menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      MenuEntry entry;
      entry.text = MenuString(menu, i);
      entry.checked = (state & MF_CHECKED) != 0;
      entry.grayed = (state & MF_GRAYED) != 0;
      entry.submenu = ::GetSubMenu(menu, i) != nullptr;
      entries.push_back(entry);
    }
    if (whileOpen) whileOpen();
  }
  CloseMenus(thread);
  return entries;
}

std::vector<HWND> MenuWindowsOf(DWORD thread) { return MenuWindows(thread); }

void CloseMenus(DWORD thread) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const auto windows = MenuWindows(thread);
    if (windows.empty()) return;
    PostKey(windows.back(), VK_ESCAPE);
    WaitUntil([&] { return MenuWindows(thread).size() < windows.size(); }, 1000);
  }
}

bool TypeIntoCell(HWND grid, const std::wstring& text) {
  HWND editor = nullptr;
  if (!WaitUntil([&] {
        return (editor = reinterpret_cast<HWND>(::SendMessageW(grid, PGM_GETEDITOR, 0, 0))) != nullptr;
      })) {
    return false;
  }
  PostChars(editor, text);
  PostKey(editor, VK_RETURN);
  return WaitUntil([&] { return ::SendMessageW(grid, PGM_GETEDITOR, 0, 0) == 0; });
}

// --- the required-field dialog ------------------------------------------------------------------------

namespace {

struct LinkSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindLink(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<LinkSearch*>(data);
  if (::GetDlgCtrlID(child) == search->id && ClassOf(child) == L"Button") {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND CommandLink(HWND dialog, int id) {
  LinkSearch search{id, nullptr};
  ::EnumChildWindows(dialog, FindLink, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::wstring CommandLinkText(HWND dialog, int id) {
  HWND link = CommandLink(dialog, id);
  if (!link) return L"";
  std::wstring text = TextOf(link);
  const auto length = static_cast<DWORD>(::SendMessageW(link, BCM_GETNOTELENGTH, 0, 0));
  if (length > 0) {
    std::wstring note(length + 1, L'\0');
    DWORD size = length + 1;
    ::SendMessageW(link, BCM_GETNOTE, reinterpret_cast<WPARAM>(&size), reinterpret_cast<LPARAM>(note.data()));
    note.resize(wcslen(note.c_str()));
    text += L"\n" + note;
  }
  return text;
}

void ClickCommandLink(HWND dialog, int id) {
  if (HWND link = CommandLink(dialog, id)) {
    PressButton(link);
  } else {
    ::PostMessageW(dialog, TDM_CLICK_BUTTON, static_cast<WPARAM>(id), 0);
  }
}

// --- high contrast -------------------------------------------------------------------------------

namespace {

using SystemParametersInfoFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SystemParametersInfoFunction realSystemParametersInfo = nullptr;

BOOL WINAPI HighContrastSystemParametersInfo(UINT action, UINT parameter, PVOID data, UINT update) {
  if (action == SPI_GETHIGHCONTRAST && data) {
    auto* contrast = static_cast<HIGHCONTRASTW*>(data);
    contrast->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    contrast->lpszDefaultScheme = nullptr;
    return TRUE;
  }
  return realSystemParametersInfo(action, parameter, data, update);
}

// The module's import address slot of `dll`!`function`, or null.
void** ImportSlot(HMODULE module, const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress && entry->Name; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; entry->OriginalFirstThunk && names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

void WriteSlot(void** slot, void* value) {
  DWORD protection = 0;
  ::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
  *slot = value;
  ::VirtualProtect(slot, sizeof(void*), protection, &protection);
}

}  // namespace

HighContrastInModule::HighContrastInModule(const wchar_t* module) {
  HMODULE loaded = ::GetModuleHandleW(module);
  slot_ = loaded ? ImportSlot(loaded, "user32.dll", "SystemParametersInfoW") : nullptr;
  if (!slot_) return;
  original_ = *slot_;
  realSystemParametersInfo = reinterpret_cast<SystemParametersInfoFunction>(original_);
  WriteSlot(slot_, reinterpret_cast<void*>(&HighContrastSystemParametersInfo));
}

HighContrastInModule::~HighContrastInModule() {
  if (slot_) WriteSlot(slot_, original_);
}

// --- pixels ------------------------------------------------------------------------------------------

int GridPixelsOfColour(HWND grid, const RECT& area, COLORREF colour) {
  RECT client{};
  ::GetClientRect(grid, &client);
  win32::ClientDc screen(nullptr);
  win32::UniqueHdc memory(::CreateCompatibleDC(screen.get()));
  win32::UniqueHBitmap bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  win32::ScopedSelectObject select(memory.get(), bitmap.get());
  ::SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
  int count = 0;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) count += ::GetPixel(memory.get(), x, y) == colour ? 1 : 0;
  }
  return count;
}

bool GridPaintsColour(HWND grid, const RECT& area, COLORREF colour) {
  return GridPixelsOfColour(grid, area, colour) > 0;
}

int InkOfText(HFONT font, const std::wstring& text) {
  win32::ClientDc screen(nullptr);
  win32::UniqueHdc memory(::CreateCompatibleDC(screen.get()));
  constexpr int kWidth = 1200, kHeight = 100;
  win32::UniqueHBitmap bitmap(::CreateBitmap(kWidth, kHeight, 1, 1, nullptr));
  win32::ScopedSelectObject selectBitmap(memory.get(), bitmap.get());
  win32::ScopedSelectObject selectFont(memory.get(), font);
  RECT area{0, 0, kWidth, kHeight};
  ::FillRect(memory.get(), &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::TextOutW(memory.get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
  int ink = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) ink += ::GetPixel(memory.get(), x, y) == RGB(0, 0, 0) ? 1 : 0;
  }
  return ink;
}

bool SaveScreenshot(const std::vector<HWND>& windows, const std::filesystem::path& file) {
  RECT area{};
  for (HWND window : windows) {
    RECT one{};
    if (!::GetWindowRect(window, &one)) return false;
    ::UnionRect(&area, &area, &one);
  }
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  win32::ClientDc screen(nullptr);
  win32::UniqueHdc memory(::CreateCompatibleDC(screen.get()));
  win32::UniqueHBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
  {
    win32::ScopedSelectObject select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
  }
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as a BMP file stores it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::string pixels(stride * static_cast<std::size_t>(height), '\0');
  if (!::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)) {
    return false;
  }
  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
  fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + pixels.size());
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof(fileHeader));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace mirdane::wine_test
