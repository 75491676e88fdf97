#include "tests/wine/taskdialog/harness.h"

#include <algorithm>
#include <cstdio>

namespace mirdane::taskdialog::wine_test {
namespace {

constexpr UINT_PTR kStepTimerId = 0x7E57;
constexpr UINT kStepPeriod = 150;
constexpr int kMostTicks = 200;  // 30 seconds: a dialog that hangs is closed

RecordingDialog* g_running = nullptr;

}  // namespace

Report& Report::Get() {
  static Report report;
  return report;
}

void Report::Open(const std::wstring& directory) {
  directory_ = directory;
  CreateDirectoryW(directory.c_str(), nullptr);
  file_ = _wfopen((directory + L"\\results.txt").c_str(), L"wb");
}

void Report::Line(const std::string& text) {
  if (file_ != nullptr) {
    std::fprintf(file_, "%s\n", text.c_str());
    std::fflush(file_);
  }
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

bool Report::Check(const std::string& scenario, const std::string& name, bool ok,
                   const std::string& detail) {
  ++checks_;
  if (!ok) ++failures_;
  Line(std::string(ok ? "ok   " : "FAIL ") + scenario + ": " + name +
       (ok || detail.empty() ? "" : " [" + detail + "]"));
  return ok;
}

void Report::Summary() {
  Line("taskdialog-wine: " + std::to_string(checks_) + " checks, " + std::to_string(failures_) +
       " failed");
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void RecordingDialog::OnCreated() {
  events.push_back("created");
  g_running = this;
  nextStep_ = 0;
  ticksWaited_ = 0;
  SetTimer(hwnd(), kStepTimerId, kStepPeriod, &RecordingDialog::StepTimer);
}

bool RecordingDialog::OnButtonClicked(int id) {
  events.push_back("button " + std::to_string(id));
  if (keepOpen > 0) {
    --keepOpen;
    return true;
  }
  return false;
}

void RecordingDialog::OnHyperlinkClicked(const std::wstring& address) {
  events.push_back("link");
  links.push_back(address);
}

bool RecordingDialog::OnTimer(DWORD milliseconds) {
  ticks.push_back(milliseconds);
  if (onTick) onTick(hwnd());
  return resetAtTick != 0 && ticks.size() == resetAtTick;
}

void RecordingDialog::OnDestroyed() {
  events.push_back("destroyed");
  KillTimer(hwnd(), kStepTimerId);
  if (g_running == this) g_running = nullptr;
}

void CALLBACK RecordingDialog::StepTimer(HWND window, UINT, UINT_PTR, DWORD) {
  RecordingDialog* self = g_running;
  if (self == nullptr) return;
  if (++self->ticksWaited_ > kMostTicks) {
    // Hung: the test fails, and the dialog must not keep the run waiting.
    self->timedOut = true;
    KillTimer(window, kStepTimerId);
    DestroyWindow(window);
    return;
  }
  if (self->nextStep_ >= self->steps.size()) return;
  const std::size_t current = self->nextStep_;
  if (self->steps[current](window) && self->nextStep_ == current) ++self->nextStep_;
}

std::string JoinEvents(const std::vector<std::string>& events) {
  std::string joined;
  for (const std::string& event : events) {
    if (!joined.empty()) joined += ", ";
    joined += event;
  }
  return joined;
}

namespace {

// Repaints the window and copies it from the screen into a 24-bit DIB.
// Gives the bitmap (its rows bottom up) and its bits.
HBITMAP CopyFromScreen(HWND window, int* width, int* height, void** bits) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN |
                                             RDW_UPDATENOW | RDW_FRAME);
  // Wine copies what a window painted to the screen when its thread looks
  // for messages; look (without taking any) until that has happened.
  for (int i = 0; i < 8; ++i) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(25);
  }
  RECT rect;
  GetWindowRect(window, &rect);
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = *width;
  info.bmiHeader.biHeight = *height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, *width, *height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

DWORD Stride(int width) { return static_cast<DWORD>(((width * 3) + 3) & ~3); }

}  // namespace

void Screenshot(HWND window, const std::string& name) {
  int width = 0;
  int height = 0;
  void* bits = nullptr;
  HBITMAP bitmap = CopyFromScreen(window, &width, &height, &bits);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const DWORD imageSize = Stride(width) * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  const std::wstring path =
      Report::Get().directory() + L"\\" + std::wstring(name.begin(), name.end()) + L".bmp";
  if (FILE* out = _wfopen(path.c_str(), L"wb"); out != nullptr && bits != nullptr) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(bits, 1, imageSize, out);
    std::fclose(out);
  }
  DeleteObject(bitmap);
}

bool Pixels::Has(COLORREF colour, int left, int top, int right, int bottom) const {
  for (int y = std::max(0, top); y < std::min(height, bottom); ++y) {
    for (int x = std::max(0, left); x < std::min(width, right); ++x) {
      if (At(x, y) == colour) return true;
    }
  }
  return false;
}

Pixels CapturePixels(HWND window) {
  Pixels pixels;
  if (window == nullptr || !IsWindow(window)) return pixels;
  void* bits = nullptr;
  HBITMAP bitmap = CopyFromScreen(window, &pixels.width, &pixels.height, &bits);
  if (bits == nullptr) {
    pixels = Pixels{};
  } else {
    const auto* bytes = static_cast<const unsigned char*>(bits);
    const DWORD stride = Stride(pixels.width);
    pixels.colours.reserve(static_cast<std::size_t>(pixels.width * pixels.height));
    for (int y = 0; y < pixels.height; ++y) {
      const unsigned char* row = bytes + stride * static_cast<DWORD>(pixels.height - 1 - y);
      for (int x = 0; x < pixels.width; ++x) {
        const unsigned char* bgr = row + 3 * x;
        pixels.colours.push_back(RGB(bgr[2], bgr[1], bgr[0]));
      }
    }
  }
  DeleteObject(bitmap);
  return pixels;
}

namespace {

struct Search {
  std::wstring text;
  std::wstring className;
  int index = 0;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (!search->text.empty()) {
    if (WindowText(child) == search->text) {
      search->found = child;
      return FALSE;
    }
    return TRUE;
  }
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (lstrcmpiW(name, search->className.c_str()) == 0 && search->index-- == 0) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindChildByText(HWND dialog, const std::wstring& text) {
  Search search;
  search.text = text;
  EnumChildWindows(dialog, &MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChildByClass(HWND dialog, const std::wstring& className, int index) {
  Search search;
  search.className = className;
  search.index = index;
  EnumChildWindows(dialog, &MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

int ClientHeight(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  return rect.bottom;
}

int WindowHeight(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

int AtScreenDpi(int pixels) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(pixels, dpi, 96);
}

void Click(HWND control) { SendMessageW(control, BM_CLICK, 0, 0); }

void PressKey(HWND dialog, WPARAM key) {
  HWND target = GetFocus();
  if (target == nullptr || (target != dialog && !IsChild(dialog, target))) target = dialog;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow.push_back(c < 128 ? static_cast<char>(c) : '?');
  return narrow;
}

}  // namespace mirdane::taskdialog::wine_test
