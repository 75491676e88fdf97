// The emulated task dialog: takes the platform's TASKDIALOGCONFIG, lays it
// out with the portable core, runs it as a modal dialog from a template in
// memory, and behaves as the platform's task dialog does while it shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "ui/taskdialog/common_buttons.h"
#include "ui/taskdialog/expander.h"
#include "ui/taskdialog/task_dialog_config.h"
#include "ui/taskdialog/task_dialog_layout.h"
#include "ui/taskdialog/task_dialog_texts.h"
#include "ui/taskdialog/win32/task_dialog_controls.h"
#include "win32/gdi.h"
#include "win32/window.h"
#include "win32/user_handles.h"

namespace mirdane::taskdialog::win32 {

// The platform record and this module's mirror of it.
TaskDialogConfig ToPortable(const TASKDIALOGCONFIG& config);

class CXTaskDialog : public framework::Window<CXTaskDialog, framework::DialogWindow>,
                     private ExpanderWindow {
 public:
  // Read by the window base; the handlers stay private.
  static const framework::MessageMap<CXTaskDialog> kMessages;

  CXTaskDialog();
  ~CXTaskDialog() override;

  // Shows the dialog for `config` and fills the three results; S_OK when the
  // dialog ran, the failure that kept it from running otherwise.
  ::HRESULT Run(const TASKDIALOGCONFIG* config, int* button, int* radioButton, BOOL* verification);

 protected:
  // Replaces the common buttons' texts with the module's strings.
  virtual void LoadCommonButtonTexts();

 private:
  // Run's steps.
  ::HRESULT RunGuarded(const TASKDIALOGCONFIG* config, int* button, int* radioButton,
                       BOOL* verification);
  ::HRESULT LoadResources();
  ::HRESULT LoadTexts();
  ::HRESULT LoadIcons();
  ::HRESULT LayOut();
  INT_PTR RunTemplate();
  HICON ReadIcon(std::uintptr_t value, bool useHandle, bool main, ::HRESULT* failure);
  // The main icon's and the footer's (and a command link's) icon size at the screen's DPI.
  int LargeIconSize() const { return ScaleForDpi(32, dpi_); }
  int SmallIconSize() const { return ScaleForDpi(16, dpi_); }

  // Behaviour while it shows: the message handlers.
  LRESULT OnInitDialog(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM dc, LPARAM);
  LRESULT OnCommand(WPARAM wParam, LPARAM);
  LRESULT OnTimer(WPARAM id, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnHelp(WPARAM, LPARAM);
  LRESULT OnClick(const NMHDR& header);
  LRESULT OnTaskDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintBands(HDC dc);
  void AttachWrappers();
  void ApplyFonts();
  void CentreOnMonitor();
  ::HRESULT Notify(UINT code, WPARAM wParam = 0, LPARAM lParam = 0);
  HWND Control(int id) const { return id < 0 ? nullptr : GetDlgItem(hwnd_, id); }
  void CloseWith(int id);
  void SetElementText(int controlId, LPARAM text);
  void UpdateIcon(WPARAM which, LPARAM value);
  void SetElevation(int buttonId, bool required);

  // ExpanderWindow.
  void MoveBy(ExpanderPart part, int dy) override;
  void Show(ExpanderPart part, bool visible) override;
  void ResizeBy(int dy) override;
  int ExpandedInformationHeight() override;
  int BottomFrame() override;
  int ClientHeight() override;
  void ShowExpandoText(bool expanded) override;
  void FocusExpandedInformation() override;
  void FocusExpandoButton() override;
  void RepaintNow() override;
  void StartAnimationTimer() override;
  void StopAnimationTimer() override;
  void NotifyExpandoClicked(bool expanded) override;
  std::vector<HWND> PartWindows(ExpanderPart part) const;

  bool Has(std::uint32_t flag) const { return (config_.dwFlags & flag) != 0; }

  const TASKDIALOGCONFIG* platformConfig_ = nullptr;
  TaskDialogConfig config_;
  TaskDialogTexts texts_;
  CommonButtonTable commonButtons_;
  TaskDialogLayout layout_;
  std::unique_ptr<Expander> expander_;
  bool animate_ = true;
  int dpi_ = kBaseDpi;  // the screen's, read when the run starts

  UINT_PTR callbackTimer_ = 0;
  UINT_PTR animationTimer_ = 0;
  DWORD timeBase_ = 0;

  framework::UniqueHFont messageFont_;
  framework::UniqueHFont largeFont_;
  COLORREF textColour_ = 0;
  // The controls refer to the brushes and the two icons in place, so that a
  // replaced icon shows at the next paint.
  framework::UniqueHBrush contentBrush_;
  framework::UniqueHBrush bandBrush_;

  framework::UniqueHIcon mainIcon_;
  framework::UniqueHIcon footerIcon_;
  bool stockMain_ = false;
  // The stock set, at the small and the large icon size of the screen's DPI.
  framework::UniqueHIcon warningSmall_, warningLarge_, arrow_, arrowHot_, errorSmall_, errorLarge_,
      informationSmall_, informationLarge_, shieldSmall_, shieldLarge_;

  CXTaskDialogIconStatic mainIconControl_;
  CXTaskDialogStatic mainInstructionControl_;
  CXTaskDialogStatic contentControl_;
  CXTaskDialogIconStatic footerIconControl_;
  CXTaskDialogStatic footerTextControl_;
  CXTaskDialogStatic expandedControl_;
  CXTaskDialogButton verificationControl_;
  std::vector<std::unique_ptr<CXTaskDialogButton>> radioControls_;
  std::vector<std::unique_ptr<CXTaskDialogCommandLink>> linkControls_;

  BOOL verificationChecked_ = FALSE;
  int selectedRadio_ = -1;
};

}  // namespace mirdane::taskdialog::win32
