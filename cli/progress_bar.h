// A one-line progress bar on a terminal, for long batches.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace mirdane::cli {

class ProgressBar {
 public:
  // Draws on `stream` only when it is a terminal and there are at least
  // `minimum` steps; otherwise every call does nothing.
  ProgressBar(std::FILE* stream, std::size_t total, std::size_t minimum = 20);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Removes the bar so that a line can be printed; Show draws it again.
  void Hide();
  void Show(std::size_t done);

 private:
  std::FILE* stream_;
  std::size_t total_;
  bool active_;
  bool visible_ = false;
};

}  // namespace mirdane::cli
