#include "ui/taskdialog/expander.h"

#include <algorithm>

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

void Expander::MoveBand(ExpanderWindow& window, int dy) const {
  window.MoveBy(ExpanderPart::kExpandoButton, dy);
  window.MoveBy(ExpanderPart::kVerification, dy);
  window.MoveBy(ExpanderPart::kFooterIcon, dy);
  window.MoveBy(ExpanderPart::kFooterText, dy);
  window.MoveBy(ExpanderPart::kCommonButtons, dy);
  if (!Has(tdf::kUseCommandLinks)) window.MoveBy(ExpanderPart::kCustomButtons, dy);
}

void Expander::HideForAnimation(ExpanderWindow& window) const {
  window.Show(ExpanderPart::kExpandedInformation, false);
  if (Has(tdf::kExpandFooterArea)) return;
  window.Show(ExpanderPart::kExpandoButton, false);
  window.Show(ExpanderPart::kVerification, false);
  window.Show(ExpanderPart::kFooterIcon, false);
  window.Show(ExpanderPart::kFooterText, false);
  window.Show(ExpanderPart::kCommonButtons, false);
  if (!Has(tdf::kUseCommandLinks)) window.Show(ExpanderPart::kCustomButtons, false);
}

void Expander::Toggle(ExpanderWindow& window, Separators& separators) {
  // A click while the animation runs would start from half-moved controls
  // and blanked bands; the running animation is completed first.
  if (running_) {
    Grow(window, total_ - progress_);
    EndAnimation(window, separators);
  }
  expanded_ = !expanded_;
  window.ShowExpandoText(expanded_);
  if (animate_) HideForAnimation(window);

  if (Has(tdf::kExpandFooterArea)) {
    // The gap above the text and the one below it, as the layout leaves them.
    total_ = window.ExpandedInformationHeight() + ScaleForDpi(15, dpi_) + ScaleForDpi(5, dpi_) -
             window.BottomFrame();
    if (animate_) {
      progress_ = 0;
      saved_.first = separators.first;
      saved_.second = separators.second;
      saved_.third = expanded_ ? window.ClientHeight() : -1;
      separators.third = -1;
    } else {
      window.ResizeBy(expanded_ ? total_ : -total_);
      window.Show(ExpanderPart::kExpandedInformation, expanded_);
    }
  } else {
    total_ = window.ExpandedInformationHeight() + 2 * ScaleForDpi(5, dpi_);
    const int d = expanded_ ? total_ : -total_;
    if (Has(tdf::kUseCommandLinks)) window.MoveBy(ExpanderPart::kCustomButtons, d);
    window.MoveBy(ExpanderPart::kRadioButtons, d);
    window.MoveBy(ExpanderPart::kProgressBar, d);
    if (animate_) {
      progress_ = 0;
      saved_.first = separators.first + d;
      saved_.second = separators.second == -1 ? -1 : separators.second + d;
      saved_.third = separators.third;
      separators = Separators{};  // the whole client area paints white meanwhile
    } else {
      MoveBand(window, d);
      window.Show(ExpanderPart::kExpandedInformation, expanded_);
      separators.first += d;
      if (separators.second != -1) separators.second += d;
      window.ResizeBy(d);
    }
  }

  if (animate_) {
    running_ = true;
    window.FocusExpandedInformation();
    window.RepaintNow();
    window.StartAnimationTimer();
  }
  window.NotifyExpandoClicked(expanded_);
}

void Expander::Grow(ExpanderWindow& window, int pixels) {
  if (pixels <= 0) return;
  progress_ += pixels;
  window.ResizeBy(expanded_ ? pixels : -pixels);
}

void Expander::OnAnimationTimer(ExpanderWindow& window, Separators& separators) {
  if (!running_) return;
  // The last step takes only what is left, so that the window ends exactly
  // `total` pixels taller or shorter, as the controls are moved.
  const int step = std::min(std::max(total_ / 10, 1), total_ - progress_);
  Grow(window, step);
  if (progress_ >= total_) EndAnimation(window, separators);
}

void Expander::EndAnimation(ExpanderWindow& window, Separators& separators) {
  running_ = false;
  window.StopAnimationTimer();
  const bool inFooter = Has(tdf::kExpandFooterArea);
  if (!inFooter) MoveBand(window, expanded_ ? total_ : -total_);
  separators = saved_;
  if (expanded_) window.Show(ExpanderPart::kExpandedInformation, true);
  if (!inFooter) {
    for (const ExpanderPart part :
         {ExpanderPart::kExpandoButton, ExpanderPart::kProgressBar, ExpanderPart::kVerification,
          ExpanderPart::kFooterIcon, ExpanderPart::kFooterText, ExpanderPart::kCommonButtons,
          ExpanderPart::kCustomButtons, ExpanderPart::kRadioButtons})
      window.Show(part, true);
  }
  window.FocusExpandoButton();
  window.RepaintNow();
}

}  // namespace mirdane::taskdialog
