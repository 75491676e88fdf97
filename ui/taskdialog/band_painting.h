// The dialog's background: a white content area above grey bands, each band
// set off by a thin line, painted across the client width.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/taskdialog/task_dialog_layout.h"

namespace mirdane::taskdialog {

struct BandFill {
  ui::PixelRect rect;
  std::uint32_t colour = 0;
  bool operator==(const BandFill&) const = default;
};

// The areas to fill, in painting order, for a client area of `width` by
// `height` pixels with the separators `separators`.
std::vector<BandFill> BandFills(const Separators& separators, int width, int height);

}  // namespace mirdane::taskdialog
