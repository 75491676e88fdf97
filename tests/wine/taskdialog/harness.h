// The harness of the task dialog's Windows test: a front end that records
// every notification, steps run from a timer while a dialog shows, checks
// written to a results file, and screenshots of the dialog's window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/taskdialog/win32/task_dialog_client.h"

namespace mirdane::taskdialog::wine_test {

using win32::CXTaskDialogMFCClient;

// Where the results and screenshots go, and the tally of checks.
class Report {
 public:
  static Report& Get();
  void Open(const std::wstring& directory);
  void Line(const std::string& text);
  // Records one check of `scenario`; `detail` says what was seen when it fails.
  bool Check(const std::string& scenario, const std::string& name, bool ok,
             const std::string& detail = "");
  void Summary();
  const std::wstring& directory() const { return directory_; }

 private:
  std::wstring directory_;
  FILE* file_ = nullptr;
  int checks_ = 0;
  int failures_ = 0;
};

// One step while the dialog shows; true when it is done, false to be called
// again at the next tick (to wait for something).
using Step = std::function<bool(HWND dialog)>;

// A front end that records the notifications and runs steps.
class RecordingDialog : public CXTaskDialogMFCClient {
 public:
  explicit RecordingDialog(HWND parent = nullptr) : CXTaskDialogMFCClient(parent) {}

  void OnDialogConstructed() override { events.push_back("constructed"); }
  void OnCreated() override;
  bool OnButtonClicked(int id) override;
  void OnRadioButtonClicked(int id) override { events.push_back("radio " + std::to_string(id)); }
  void OnHyperlinkClicked(const std::wstring& address) override;
  void OnExpandoButtonClicked(bool expanded) override {
    events.push_back(std::string("expando ") + (expanded ? "1" : "0"));
  }
  void OnVerificationClicked(bool checked) override {
    events.push_back(std::string("verification ") + (checked ? "1" : "0"));
  }
  void OnHelp() override {
    events.push_back("help");
    CXTaskDialogMFCClient::OnHelp();
  }
  bool OnTimer(DWORD milliseconds) override;
  void OnDestroyed() override;

  std::vector<std::string> events;
  std::vector<Step> steps;
  // How many TDN_BUTTON_CLICKED to answer with "keep open".
  int keepOpen = 0;
  // Answers to TDN_TIMER: the ticks seen, and the one answered with a reset.
  std::vector<DWORD> ticks;
  std::size_t resetAtTick = 0;
  std::function<void(HWND)> onTick;
  std::vector<std::wstring> links;
  bool timedOut = false;
  // Set when the dialog may end before its last steps (one of them makes sure it ends).
  bool mayCloseEarly = false;
  // Steps still to run when the dialog went away.
  std::size_t stepsLeft() const { return steps.size() - nextStep_; }

 private:
  static void CALLBACK StepTimer(HWND window, UINT, UINT_PTR, DWORD);
  std::size_t nextStep_ = 0;
  int ticksWaited_ = 0;
};

// The events without the ones that come and go with time.
std::string JoinEvents(const std::vector<std::string>& events);

// Saves the dialog's window as it is on the screen, as a BMP file.
void Screenshot(HWND window, const std::string& name);

// A window's pixels as they are on the screen, as COLORREF values.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> colours;  // row by row from the top
  COLORREF At(int x, int y) const { return colours[static_cast<std::size_t>(y * width + x)]; }
  // Whether any pixel of rows [top, bottom) and columns [left, right) is `colour`.
  bool Has(COLORREF colour, int left, int top, int right, int bottom) const;
};
// Repaints the window and reads it back from the screen.
Pixels CapturePixels(HWND window);

// Finders for the controls of either dialog.
HWND FindChildByText(HWND dialog, const std::wstring& text);
HWND FindChildByClass(HWND dialog, const std::wstring& className, int index = 0);
std::wstring WindowText(HWND window);
int ClientHeight(HWND window);
int WindowHeight(HWND window);
// A size the emulation gives at 96 DPI, at the screen's DPI (as it scales it).
int AtScreenDpi(int pixels);

// Clicks a control as the mouse would, through the platform's BM_CLICK.
void Click(HWND control);
// Presses a key on the focused control, as the modal loop sees it.
void PressKey(HWND dialog, WPARAM key);

std::string Narrow(const std::wstring& text);

}  // namespace mirdane::taskdialog::wine_test
