#include "tests/wine/setup_ui/sheet_driver.h"

#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/batch/batch_file.h"
#include "host/batch/batch_setup_data.h"
#include "host/com/automation_host.h"
#include "tests/wine/component/wine_support.h"
#include "win32/com_ptr.h"
#include "win32/dispatch_call.h"
#include "win32/gdi.h"

namespace mirdane::wine_test {
namespace {

constexpr UINT kMenuGetHmenu = 0x01E1;  // MN_GETHMENU
constexpr wchar_t kMenuClass[] = L"#32768";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

struct FindContext {
  const wchar_t* caption;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* context = reinterpret_cast<FindContext*>(data);
  if (!::IsWindowVisible(window)) return TRUE;
  if (context->windowClass && ClassOf(window) != context->windowClass) return TRUE;
  if (context->caption && TextOf(window) != context->caption) return TRUE;
  context->found = window;
  return FALSE;
}

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

// Moves the highlight of the menu in `menuWindow` down to `position`.
bool Highlight(HWND menuWindow, HMENU menu, int position) {
  for (int step = 0; step <= ::GetMenuItemCount(menu) + 1; ++step) {
    const int now = HighlightedEntry(menu);
    if (now == position) return true;
    PostKey(menuWindow, VK_DOWN);
    WaitUntil([&] { return HighlightedEntry(menu) != now; }, 2000);
  }
  return HighlightedEntry(menu) == position;
}

// Opens the row menu and walks down `path`, leaving the last entry highlighted.
bool WalkMenu(DWORD thread, HWND grid, const std::vector<std::wstring>& path, HWND* lastWindow,
              HMENU* lastMenu, int* lastPosition) {
  PostKey(grid, VK_F4);
  HWND window = WaitForMenuWindow(thread, nullptr);
  if (!window) return false;
  HMENU menu = MenuOf(window);
  for (std::size_t depth = 0; depth < path.size(); ++depth) {
    const int position = FindMenuEntry(menu, path[depth]);
    if (position < 0 || !Highlight(window, menu, position)) return false;
    *lastWindow = window;
    *lastMenu = menu;
    *lastPosition = position;
    if (depth + 1 == path.size()) return true;
    HMENU submenu = ::GetSubMenu(menu, position);
    if (!submenu) return false;
    PostKey(window, VK_RIGHT);
    window = WaitForMenuWindow(thread, submenu);
    if (!window) return false;
    menu = submenu;
  }
  *lastWindow = window;
  *lastMenu = menu;
  *lastPosition = -1;
  return true;
}

}  // namespace

// --- files ------------------------------------------------------------------------

std::filesystem::path WriteBatchFile(const std::string& json) {
  static int serial = 0;
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const auto folder = std::filesystem::path(temp) /
                      ("mirdane-setup-ui-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(++serial));
  std::filesystem::create_directories(folder);
  const auto path = folder / "batch.json";
  std::ofstream(path, std::ios::binary) << json;
  return path;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// --- the run --------------------------------------------------------------------------

SetupRun::SetupRun(const std::filesystem::path& batch)
    : thread_([this, batch] { Run(batch); }) {}

SetupRun::~SetupRun() {
  if (!done_) {
    // A test that failed half-way leaves windows open: cancel whatever is up.
    CloseMenus(threadId_);
    if (HWND dialog = FindThreadWindow(threadId_, kRequiredFieldTitle)) {
      ClickCommandLink(dialog, 541);
    }
    if (HWND sheet = FindThreadWindow(threadId_, kSheetCaption)) {
      PressButton(SheetButton(sheet, IDCANCEL));
    }
    if (!WaitForEnd(5000)) ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  }
  if (thread_.joinable()) thread_.join();
}

void SetupRun::Run(std::filesystem::path batch) {
  threadId_ = ::GetCurrentThreadId();
  {
    win32::ScopedComInit com;
    try {
      const batch::BatchFile file = batch::LoadBatchFile(batch);
      auto data = std::make_shared<batch::BatchSetupData>(file);
      auto exposed = win32::ComPtr<IDispatch>::Attach(hostcom::ExposeReleaseSetupData(data));
      auto created = CreateByProgId(L"mirdane.CppdSetupScript");
      if (!created) {
        error_ = "mirdane.CppdSetupScript cannot be created";
      } else {
        win32::DispatchObject script(created);
        win32::UniqueVariant answer;
        if (FAILED(script.PutRef(L"SetupData", win32::DispatchArg::Object(exposed.get())))) {
          error_ = "SetupData was refused";
        } else if (FAILED(script.Call(L"OpenScript", {}, &answer)) ||
                   FAILED(script.Call(L"RunUI", {}, &answer)) ||
                   FAILED(win32::LongOf(*answer.get(), &result_)) ||
                   FAILED(script.Call(L"CloseScript", {}, nullptr))) {
          error_ = "the script's members could not be called";
        }
        applied_ = data->applyCount() > 0;
      }
    } catch (const std::exception& caught) {
      error_ = caught.what();
    }
  }
  done_ = true;
}

HWND SetupRun::WaitForSheet() {
  WaitUntil([this] { return threadId_ != 0; });
  // The first start of a module under a loaded machine can take a while.
  HWND sheet = nullptr;
  WaitUntil([&] { return (sheet = FindThreadWindow(threadId_, kSheetCaption, L"#32770")) != nullptr; },
            30000);
  if (!sheet) error_ += " (no sheet; the thread shows: " + DescribeThreadWindows(threadId_) + ")";
  return sheet;
}

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

}  // namespace

std::string DescribeThreadWindows(DWORD thread) {
  std::vector<HWND> windows;
  ::EnumThreadWindows(thread, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::string text;
  for (HWND window : windows) {
    const std::wstring caption = TextOf(window);
    const std::wstring windowClass = ClassOf(window);
    text += "[" + std::string(windowClass.begin(), windowClass.end()) + " \"" +
            std::string(caption.begin(), caption.end()) + "\"" +
            (::IsWindowVisible(window) ? " visible" : "") + "] ";
  }
  return text.empty() ? "nothing" : text;
}

bool SetupRun::WaitForEnd(DWORD milliseconds) {
  return WaitUntil([this] { return done_.load(); }, milliseconds);
}

// --- finding and waiting --------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& ready, DWORD milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (ready()) return true;
    if (std::chrono::steady_clock::now() > until) return false;
    ::Sleep(15);
  }
}

HWND FindThreadWindow(DWORD thread, const wchar_t* caption, const wchar_t* windowClass) {
  FindContext context{caption, windowClass, nullptr};
  if (thread) ::EnumThreadWindows(thread, MatchWindow, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

HWND WaitForThreadWindow(DWORD thread, const wchar_t* caption, const wchar_t* windowClass) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindThreadWindow(thread, caption, windowClass)) != nullptr; });
  return found;
}

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

bool IsShown(HWND window) { return window && ::IsWindowVisible(window); }

// --- input ------------------------------------------------------------------------------------

void PostKey(HWND window, UINT key) {
  const auto scan = static_cast<LPARAM>(::MapVirtualKeyW(key, 0));  // MAPVK_VK_TO_VSC
  const LPARAM down = 1 | (scan << 16);
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  ::PostMessageW(window, WM_KEYDOWN, key, down);
  ::PostMessageW(window, WM_KEYUP, key, up);
}

void PostChars(HWND window, const std::wstring& text) {
  for (wchar_t c : text) ::PostMessageW(window, WM_CHAR, c, 1);
}

void PostClick(HWND window, POINT client) {
  const LPARAM at = MAKELPARAM(client.x, client.y);
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(window, WM_LBUTTONUP, 0, at);
}

void TypeInto(HWND edit, const std::wstring& text) {
  ::PostMessageW(edit, EM_SETSEL, 0, -1);
  PostKey(edit, VK_DELETE);
  PostChars(edit, text);
}

void PressButton(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

// --- the sheet ------------------------------------------------------------------------------------

HWND PageList(HWND sheet) { return ::GetDlgItem(sheet, 0x3020); }

HWND CurrentPage(HWND sheet) {
  for (HWND child = ::GetWindow(sheet, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"#32770" && ::IsWindowVisible(child)) return child;
  }
  return nullptr;
}

int CurrentPageIndex(HWND sheet) {
  HWND page = CurrentPage(sheet);
  if (!page) return -1;
  // The General page holds the instance name edit; the Data Mapping page the grid.
  if (::GetDlgItem(page, 11002)) return 0;
  if (GridOf(page)) return 1;
  return -1;
}

void ChoosePage(HWND sheet, int index) {
  HWND list = PageList(sheet);
  RECT item{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  PostClick(list, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

HWND SheetButton(HWND sheet, int id) { return ::GetDlgItem(sheet, id); }

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
  return WaitUntil([&] {
    PROPERTYGRIDLINE line{};
    return GridSelection(grid, &line) && line.group == group && line.row == row;
  });
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

// --- pixels ------------------------------------------------------------------------------------------

bool GridPaintsColour(HWND grid, const RECT& area, COLORREF colour) {
  RECT client{};
  ::GetClientRect(grid, &client);
  win32::ClientDc screen(nullptr);
  win32::UniqueHdc memory(::CreateCompatibleDC(screen.get()));
  win32::UniqueHBitmap bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  win32::ScopedSelectObject select(memory.get(), bitmap.get());
  ::SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      if (::GetPixel(memory.get(), x, y) == colour) return true;
    }
  }
  return false;
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

std::filesystem::path ScreenshotFolder() {
  const char* folder = std::getenv("MIRDANE_SCREENSHOTS");
  return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path("screenshots");
}

std::string DpiSuffix() {
  win32::ClientDc screen(nullptr);
  return std::to_string(::GetDeviceCaps(screen.get(), LOGPIXELSY)) + "dpi";
}

}  // namespace mirdane::wine_test
