#include "ui/taskdialog/band_painting.h"

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

std::vector<BandFill> BandFills(const Separators& separators, int width, int height) {
  std::vector<BandFill> fills;
  auto fill = [&](int top, int bottom, std::uint32_t colour) {
    fills.push_back({{0, top, width, bottom}, colour});
  };
  // The band below a separator reaches the next one, or the bottom.
  auto bandEnd = [&](int next) { return next == -1 ? height : next - 1; };
  const int s1 = separators.first;
  const int s2 = separators.second;
  const int s3 = separators.third;
  if (s1 == -1) {
    fill(0, height, colour::kContent);
  } else {
    fill(0, s1, colour::kContent);
    fill(s1, s1 + 1, colour::kSeparator);
    fill(s1 + 1, bandEnd(s2), colour::kBand);
  }
  if (s2 != -1) {
    fill(s2 - 1, s2, colour::kSeparator);
    fill(s2, s2 + 1, colour::kContent);
    fill(s2 + 1, bandEnd(s3), colour::kBand);
  }
  if (s3 != -1) {
    fill(s3 - 1, s3, colour::kSeparator);
    fill(s3, s3 + 1, colour::kContent);
    fill(s3 + 1, height, colour::kBand);
  }
  return fills;
}

}  // namespace mirdane::taskdialog
