// The batch-file reader on any bytes: it refuses or reads, never crashes, and
// a setup written back into a file it read reads back the same.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "host/batch/batch_setup_writer.h"
#include "host/batch/batch_values.h"

namespace {

using mirdane::batch::BatchFile;
using mirdane::batch::BatchFileError;

bool SameLinks(const BatchFile& a, const BatchFile& b) {
  if (a.setup.links.size() != b.setup.links.size()) return false;
  for (std::size_t i = 0; i < a.setup.links.size(); ++i) {
    const auto& x = a.setup.links[i];
    const auto& y = b.setup.links[i];
    if (x.source != y.source || x.sourceType != y.sourceType || x.destination != y.destination) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  BatchFile file;
  try {
    file = mirdane::batch::ReadBatchFile(text, "fuzz.json");
  } catch (const BatchFileError&) {
    return 0;
  }
  for (const auto& document : file.documents) {
    const auto values = mirdane::batch::ResolveValues(file.setup, document);
    FUZZ_CHECK(values.size() == file.setup.links.size());
  }
  (void)mirdane::batch::CheckLinks(file);

  // Written back with a changed name: everything else reads back unchanged.
  auto setup = file.setup;
  setup.name += u"\u00e9\"\\/\n";
  const std::string written = mirdane::batch::WriteSetupInto(text, setup, "fuzz.json");
  BatchFile again;
  try {
    again = mirdane::batch::ReadBatchFile(written, "fuzz.json");
  } catch (const BatchFileError& error) {
    std::fprintf(stderr, "the written file is refused: %s\n", error.what());
    FUZZ_CHECK(false);
  }
  FUZZ_CHECK(again.setup.name == setup.name);
  FUZZ_CHECK(again.setup.connectString == setup.connectString);
  FUZZ_CHECK(again.setup.password == setup.password);
  FUZZ_CHECK(again.setup.customProperties == setup.customProperties);
  FUZZ_CHECK(SameLinks(file, again));
  FUZZ_CHECK(again.documents.size() == file.documents.size());
  return 0;
}
