// Driving the setup sheet as an administrator would, by messages: RunUI of
// the registered setup script runs on a thread of its own (as on the host's
// user-interface thread), and the test finds its windows, posts keys,
// characters and clicks to them, and reads back what they show.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/property_grid/win32/property_grid_messages.h"

namespace mirdane::wine_test {

// The sheet's caption, the required-field dialog's title.
inline constexpr wchar_t kSheetCaption[] = L"Lorven Setup";
inline constexpr wchar_t kRequiredFieldTitle[] = L"Required field not Mapped";

// A batch file with `json` in a fresh folder of the test's own.
std::filesystem::path WriteBatchFile(const std::string& json);
// The whole file, for comparing before and after.
std::string ReadWholeFile(const std::filesystem::path& path);

// OpenScript, RunUI and CloseScript of a "mirdane.CppdSetupScript" created
// by its ProgID, over the batch file's setup data handed in by name.
class SetupRun {
 public:
  explicit SetupRun(const std::filesystem::path& batch);
  ~SetupRun();
  SetupRun(const SetupRun&) = delete;
  SetupRun& operator=(const SetupRun&) = delete;

  // The thread that shows the windows.
  DWORD threadId() const { return threadId_; }
  // The sheet, once it is up (null after the wait).
  HWND WaitForSheet();
  // Whether RunUI has returned within `milliseconds`.
  bool WaitForEnd(DWORD milliseconds = 10000);
  // RunUI's KfxReturnValue, and whether the setup was applied into the file.
  LONG result() const { return result_; }
  bool applied() const { return applied_; }
  // Why the script could not be driven; empty when it was.
  const std::string& error() const { return error_; }
  // The host's window, active on the thread when RunUI is called, and
  // whether it was enabled again when RunUI returned.
  HWND host() const { return host_; }
  bool hostEnabledAfterRun() const { return hostEnabledAfterRun_; }

 private:
  void Run(std::filesystem::path batch);

  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> done_{false};
  LONG result_ = -1;
  bool applied_ = false;
  std::atomic<HWND> host_{nullptr};
  bool hostEnabledAfterRun_ = false;
  std::string error_;
  std::thread thread_;  // last: it starts once everything it touches is set up
};

// Waiting: polls until `ready` holds or the time is up.
bool WaitUntil(const std::function<bool()>& ready, DWORD milliseconds = 10000);

// Windows of a thread: the visible top-level one whose caption is `caption`
// (any caption when null) and whose class is `windowClass` (any when null).
HWND FindThreadWindow(DWORD thread, const wchar_t* caption, const wchar_t* windowClass = nullptr);
HWND WaitForThreadWindow(DWORD thread, const wchar_t* caption, const wchar_t* windowClass = nullptr);
// What windows the thread has, for messages.
std::string DescribeThreadWindows(DWORD thread);
// The control with keyboard focus on `thread`.
HWND FocusOf(DWORD thread);

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
bool IsShown(HWND window);

// Input, posted so that the test never waits on a window that is itself
// waiting in a modal loop.
void PostKey(HWND window, UINT key);
void PostChars(HWND window, const std::wstring& text);
void PostClick(HWND window, POINT client);
// Replaces the text of an edit by typing: all selected, then the new text.
void TypeInto(HWND edit, const std::wstring& text);
void PressButton(HWND button);
// Clicks a check box, which opens nothing modal, so the click is sent rather
// than posted; true once its check has changed. A click the box dropped (its
// capture taken meanwhile) is sent again; one that timed out is not, as it
// may yet arrive.
bool ClickCheckBox(HWND box);

// The sheet's parts.
HWND PageList(HWND sheet);
HWND CurrentPage(HWND sheet);  // the page that is shown
int CurrentPageIndex(HWND sheet);
// Clicks the page's name in the list.
void ChoosePage(HWND sheet, int index);
HWND SheetButton(HWND sheet, int id);

// The property grid of the Data Mapping page.
HWND GridOf(HWND page);
PROPERTYGRIDITEM GridItem(HWND grid, int group, int row);
bool GridSelection(HWND grid, PROPERTYGRIDLINE* line);
int GridRowCount(HWND grid, int group);
// A line of the grid as assistive technology reads it through the grid's
// accessible object (MSAA), whose children are the lines on screen.
struct AccessibleLine {
  std::wstring name;
  std::wstring value;
  std::wstring description;
  std::wstring help;  // a row's group
  long role = 0;
  long state = 0;
  RECT location{};  // on the screen
};
// The grid's children in order; `focus` (when given) gets the focused
// child's position among them, or -1. Empty when the object cannot be had.
std::vector<AccessibleLine> AccessibleLines(HWND grid, int* focus = nullptr);
// Moves the selection to the row by the keyboard (Home, then Down).
bool SelectGridRow(HWND grid, int group, int row);
// The mapping menu of the selected row opened with F4, and the entries
// along `path` chosen by the keyboard; false when an entry is missing.
bool ChooseFromRowMenu(DWORD thread, HWND grid, const std::vector<std::wstring>& path);
// The entries of the open menu's level `depth` (0 the first), with their
// check marks and grey state, for looking at the menu before choosing.
struct MenuEntry {
  std::wstring text;
  bool checked = false;
  bool grayed = false;
  bool submenu = false;
};
// `whileOpen` runs while the menu is still open (for a screenshot).
std::vector<MenuEntry> OpenRowMenuEntries(DWORD thread, HWND grid,
                                          const std::vector<std::wstring>& submenuPath,
                                          const std::function<void()>& whileOpen = {});
// The thread's open menus, from the first to the last opened.
std::vector<HWND> MenuWindowsOf(DWORD thread);
// Closes every open menu of the thread.
void CloseMenus(DWORD thread);
// Types `text` into the row's value cell, which must be editing, and presses Enter.
bool TypeIntoCell(HWND grid, const std::wstring& text);

// The required-field dialog's command link `id`: its whole text (title and note).
std::wstring CommandLinkText(HWND dialog, int id);
void ClickCommandLink(HWND dialog, int id);

// High contrast as the setup's module sees it while the object lives (Wine
// has no high-contrast mode): its import of SystemParametersInfoW answers
// SPI_GETHIGHCONTRAST with the mode on.
class HighContrastInModule {
 public:
  explicit HighContrastInModule(const wchar_t* module);
  ~HighContrastInModule();
  HighContrastInModule(const HighContrastInModule&) = delete;
  HighContrastInModule& operator=(const HighContrastInModule&) = delete;
  bool active() const { return slot_ != nullptr; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

// Whether any pixel of `area` of the grid's client area is `colour`, as
// the grid paints itself (WM_PRINTCLIENT).
bool GridPaintsColour(HWND grid, const RECT& area, COLORREF colour);
// How many pixels of `area` the grid paints in `colour`.
int GridPixelsOfColour(HWND grid, const RECT& area, COLORREF colour);
// How many pixels `text` covers drawn in `font` (black on white).
int InkOfText(HFONT font, const std::wstring& text);

// Saves what the screen shows of the windows (the smallest rectangle
// holding them all, and whatever is over it) as a 24-bit BMP file.
bool SaveScreenshot(const std::vector<HWND>& windows, const std::filesystem::path& file);
// Where screenshots go (MIRDANE_SCREENSHOTS), and the suffix of this run's DPI.
std::filesystem::path ScreenshotFolder();
std::string DpiSuffix();

}  // namespace mirdane::wine_test
