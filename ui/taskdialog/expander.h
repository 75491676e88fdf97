// The expander: what a click on the expando button does to the dialog's
// controls, its height and its bands, at once or animated in steps.
#pragma once

#include <cstdint>

#include "ui/taskdialog/task_dialog_layout.h"

namespace mirdane::taskdialog {

// Groups of controls that the expander moves, hides and shows.
enum class ExpanderPart {
  kExpandedInformation,
  kExpandoButton,
  kVerification,
  kFooterIcon,
  kFooterText,
  kCommonButtons,
  kCustomButtons,  // the command links, or the custom push buttons without them
  kRadioButtons,
  kProgressBar,
};

// What the expander needs of the dialog's window.
class ExpanderWindow {
 public:
  virtual ~ExpanderWindow() = default;
  virtual void MoveBy(ExpanderPart part, int dy) = 0;
  virtual void Show(ExpanderPart part, bool visible) = 0;
  // Changes the window's height, keeping its position, z-order and activation.
  virtual void ResizeBy(int dy) = 0;
  virtual int ExpandedInformationHeight() = 0;
  // The window's bottom edge minus the client area's bottom, in client coordinates.
  virtual int BottomFrame() = 0;
  virtual int ClientHeight() = 0;
  virtual void ShowExpandoText(bool expanded) = 0;
  virtual void FocusExpandedInformation() = 0;
  virtual void FocusExpandoButton() = 0;
  virtual void RepaintNow() = 0;
  virtual void StartAnimationTimer() = 0;
  virtual void StopAnimationTimer() = 0;
  virtual void NotifyExpandoClicked(bool expanded) = 0;
};

class Expander {
 public:
  // `flags` are the configuration's dwFlags; `animate` the platform's
  // client-area animation setting; `dpi` the one the dialog was laid out at.
  Expander(std::uint32_t flags, bool expanded, bool animate, int dpi = kBaseDpi)
      : flags_(flags), expanded_(expanded), animate_(animate), dpi_(dpi) {}

  // A click on the expando button.
  void Toggle(ExpanderWindow& window, Separators& separators);
  // One tick of the animation timer.
  void OnAnimationTimer(ExpanderWindow& window, Separators& separators);

  bool expanded() const { return expanded_; }
  bool animating() const { return running_; }
  int total() const { return total_; }
  int progress() const { return progress_; }

 private:
  bool Has(std::uint32_t flag) const { return (flags_ & flag) != 0; }
  void MoveBand(ExpanderWindow& window, int dy) const;
  void HideForAnimation(ExpanderWindow& window) const;
  void Grow(ExpanderWindow& window, int pixels);
  void EndAnimation(ExpanderWindow& window, Separators& separators);

  std::uint32_t flags_;
  bool expanded_;
  bool animate_;
  int dpi_;
  bool running_ = false;
  int total_ = 0;
  int progress_ = 0;
  Separators saved_;
};

}  // namespace mirdane::taskdialog
