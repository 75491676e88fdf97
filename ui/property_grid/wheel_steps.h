// A wheel's movement turned into whole lines. Precision touchpads and
// free-spinning wheels send deltas far smaller than a notch (120 units);
// they add up here instead of being lost one by one.
#pragma once

namespace mirdane::ui {

inline constexpr int kWheelNotch = 120;  // WHEEL_DELTA

class WheelSteps {
 public:
  // The lines to scroll for `delta` (positive: towards the top) at the
  // user's `linesPerNotch`; what is left of a line waits for the next delta.
  int Lines(int delta, int linesPerNotch) {
    // A turn the other way starts afresh rather than paying off the rest.
    if ((delta < 0) != (rest_ < 0)) rest_ = 0;
    rest_ += delta * linesPerNotch;
    const int lines = rest_ / kWheelNotch;
    rest_ -= lines * kWheelNotch;
    return lines;
  }

 private:
  int rest_ = 0;  // in units of delta times lines
};

}  // namespace mirdane::ui
