#include "tests/wine/setup_ui/sheet_driver.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "host/batch/batch_file.h"
#include "host/batch/batch_setup_data.h"
#include "tools/com_host/automation_host.h"
#include "tests/wine/component/wine_support.h"
#include "win32/com_ptr.h"
#include "win32/dispatch_call.h"
#include "win32/gdi.h"

namespace mirdane::wine_test {
namespace {

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

// The host's own window (Administration), from which the setup is opened.
HWND CreateHostWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"MirdaneTestHost";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  ::RegisterClassW(&windowClass);  // fails harmlessly from the second run on
  HWND host = ::CreateWindowExW(0, L"MirdaneTestHost", L"Administration", WS_OVERLAPPEDWINDOW,
                                10, 10, 480, 320, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                nullptr);
  ::ShowWindow(host, SW_SHOWNORMAL);
  ::SetForegroundWindow(host);
  // Wine activates the window through the desktop's process: wait for it.
  WaitUntil([host] {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    return ::GetActiveWindow() == host;
  }, 3000);
  return host;
}

void SetupRun::Run(std::filesystem::path batch) {
  threadId_ = ::GetCurrentThreadId();
  host_ = CreateHostWindow();
  if (::GetActiveWindow() != host_) error_ = "the host's window could not be made active";
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
  hostEnabledAfterRun_ = ::IsWindowEnabled(host_) != FALSE;
  ::DestroyWindow(host_);
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

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}


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

bool ClickCheckBox(HWND box) {
  constexpr UINT kWaitMs = 10000;
  const auto send = [box](UINT message, DWORD_PTR* answer) {
    return ::SendMessageTimeoutW(box, message, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, answer) != 0;
  };
  DWORD_PTR before = 0;
  if (!send(BM_GETCHECK, &before)) return false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD_PTR ignored = 0;
    DWORD_PTR now = 0;
    if (!send(BM_CLICK, &ignored) || !send(BM_GETCHECK, &now)) return false;
    if (now != before) return true;
  }
  return false;
}

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

std::filesystem::path ScreenshotFolder() {
  const char* folder = std::getenv("MIRDANE_SCREENSHOTS");
  return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path("screenshots");
}

std::string DpiSuffix() {
  win32::ClientDc screen(nullptr);
  return std::to_string(::GetDeviceCaps(screen.get(), LOGPIXELSY)) + "dpi";
}

}  // namespace mirdane::wine_test
