// The task dialog's fixed pixel sizes (paddings, margins, icons) are given
// for 96 DPI; on a screen of another DPI they grow as its text does.
#pragma once

#include <cstdint>

namespace mirdane::taskdialog {

// The DPI the fixed sizes are given at.
inline constexpr int kBaseDpi = 96;

// `pixels` at 96 DPI as pixels at `dpi`, rounded half away from zero as the
// platform's MulDiv rounds, so that a size means the same on both sides of
// the layout; a DPI of 0 or below (none known) leaves the size as it is.
constexpr int ScaleForDpi(int pixels, int dpi) {
  if (dpi <= 0 || dpi == kBaseDpi) return pixels;
  const std::int64_t product = static_cast<std::int64_t>(pixels) * dpi;
  const std::int64_t half = kBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi
                                       : -((-product + half) / kBaseDpi));
}

}  // namespace mirdane::taskdialog
