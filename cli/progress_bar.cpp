#include "cli/progress_bar.h"

#include <unistd.h>

namespace mirdane::cli {

ProgressBar::ProgressBar(std::FILE* stream, std::size_t total, std::size_t minimum)
    : stream_(stream), total_(total), active_(total >= minimum && isatty(fileno(stream))) {}

ProgressBar::~ProgressBar() { Hide(); }

void ProgressBar::Hide() {
  if (!visible_) return;
  std::fputs("\r\033[K", stream_);
  std::fflush(stream_);
  visible_ = false;
}

void ProgressBar::Show(std::size_t done) {
  if (!active_) return;
  constexpr std::size_t kWidth = 40;
  const std::size_t filled = total_ == 0 ? kWidth : done * kWidth / total_;
  const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '.');
  std::fprintf(stream_, "\r[%s] %zu/%zu documents", bar.c_str(), done, total_);
  std::fflush(stream_);
  visible_ = true;
}

}  // namespace mirdane::cli
