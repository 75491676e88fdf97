// How reading a batch file grows with its size: the time per member for
// files of 1x, 4x and 16x as many custom properties, links, index fields and
// nesting levels, each against the smallest in the same run. Time per member
// that stays flat means the reader is linear; a growing one means it is not.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "host/batch/batch_file.h"
#include "host/batch/batch_values.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Members(int count) {
  std::string text = "{\"setup\": {\"customProperties\": {";
  for (int i = 0; i < count; ++i) text += (i ? ",\n\"p" : "\"p") + std::to_string(i) + "\": \"v\"";
  text += "}, \"links\": [";
  for (int i = 0; i < count; ++i) {
    text += (i ? ",\n" : "") + std::string("{\"source\": \"f") + std::to_string(i) +
            "\", \"destination\": \"UAGYCPP.GYHBCD\"}";
  }
  text += "]}, \"documents\": [{\"indexFields\": {";
  for (int i = 0; i < count; ++i) text += (i ? ", \"f" : "\"f") + std::to_string(i) + "\": \"x\"";
  return text + "}}]}";
}

// Nesting up to the limit, repeated: depth stays bounded, size grows.
std::string Nested(int count) {
  std::string text = "{\"x\": [";
  for (int i = 0; i < count; ++i) text += (i ? "," : "") + std::string(60, '[') + std::string(60, ']');
  return text + "]}";
}

double SecondsToRead(const std::string& text) {
  const auto start = Clock::now();
  const auto batch = mirdane::batch::ReadBatchFile(text, "bench.json");
  for (const auto& document : batch.documents) (void)mirdane::batch::ResolveValues(batch.setup, document);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Scale(const char* what, const std::function<std::string(int)>& make, int base) {
  std::printf("%s\n  %10s %12s %16s %8s\n", what, "count", "ms", "us per member", "ratio");
  double first = 0;
  for (const int factor : {1, 4, 16}) {
    const int count = base * factor;
    const std::string text = make(count);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) best = std::min(best, SecondsToRead(text));
    const double per = best / count * 1e6;
    if (factor == 1) first = per;
    std::printf("  %10d %12.1f %16.3f %8.2f\n", count, best * 1e3, per, per / first);
  }
  std::printf("\n");
}

}  // namespace

int main() {
  std::printf("batch file reading (ratio: time per member against the smallest file)\n\n");
  Scale("custom properties, links and index fields", Members, 5000);
  Scale("lists nested 60 deep", Nested, 500);
  return 0;
}
