#include "tests/support/batch_run.h"

#include "base/text.h"

namespace mirdane::test {

batch::BatchFile DemoBatch(const std::u16string& system, const std::u16string& library,
                           const std::u16string& user, const std::u16string& password) {
  auto file = batch::LoadBatchFile(std::filesystem::path(MIRDANE_SOURCE_DIR) / "samples" /
                                   "invoices.json");
  file.setup.connectString = system;
  file.setup.userName = user;
  file.setup.password = password;
  file.setup.customProperties = {{u"serverAPILibrary", library}};
  return file;
}

BatchOutcome ReleaseBatch(const batch::BatchFile& file, const std::filesystem::path& log_dir) {
  return ReleaseBatch(file, log_dir, [](std::size_t) {});
}

}  // namespace mirdane::test
