// What the benchmarks share: the batch they release, timing, and the summary
// of interleaved rounds as ratios.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "host/batch/batch_file.h"

namespace mirdane::bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The pause the release makes before drawing each transaction number; the
// baselines make it too, so that both sides pay it.
void PauseAsTheReleaseDoes();

// A batch of `documents` documents with `lines` charge lines each, into
// `library` of `source`: three header values (a text constant, a vendor, a
// decimal total) and three line columns from a table field.
batch::BatchFile MakeBatch(const std::u16string& source, const std::u16string& library,
                           int documents, int lines);
// The same batch as a batch file's JSON.
std::string BatchJson(const batch::BatchFile& file);

// Releases every document of `file` in this process, as `mirdane release`
// does, with the pool emptied afterwards so that each run connects anew.
// Seconds taken; exits the program when a document is not released.
double TimeRelease(const batch::BatchFile& file, const std::filesystem::path& logs);

// Ratios of interleaved rounds, summarised as their median and their least.
struct Ratios {
  std::vector<double> values;
  double Median() const;
  double Min() const;
  // "1.03 (0.98)"
  std::string Text() const;
};

// The median of some seconds.
double Median(std::vector<double> values);

}  // namespace mirdane::bench
