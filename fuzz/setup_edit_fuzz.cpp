// `setup edit`'s arguments on any text: the General fields and COLUMN=MAPPING
// edits made through the headless sheet over a batch file's setup, as the
// command makes them, then the setup written back and read again.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "fuzz/fuzz_check.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_setup_data.h"
#include "host/batch/batch_setup_writer.h"
#include "setup/headless_sheet.h"
#include "setup/setup_mapping_model.h"

namespace {

constexpr char kBatch[] = R"({
  "setup": {
    "name": "AP", "connectString": "sqlite:/tmp/none", "userName": "u", "password": "p",
    "customProperties": {"serverAPILibrary": "XALIB"},
    "links": [{"source": "Vendor", "sourceType": 0, "destination": "UAGYCPP.GYHBCD"}],
    "indexFields": ["Vendor", "Amount", "Date"],
    "captureValues": ["Batch Name", "Document ID"]
  },
  "documents": [{"indexFields": {"Vendor": "V1"}}]
})";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirdane;
  // One argument a line: five General fields (a line "-" leaves one as it
  // is), then COLUMN=MAPPING edits; a line "!" answers the required-field
  // dialog with "Ignore Requirement", "#" turns on "Display Field Names".
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(data[i]));
    }
  }
  lines.push_back(line);

  HeadlessEdits edits;
  std::optional<std::u16string>* general[] = {&edits.name, &edits.connectString, &edits.userName,
                                              &edits.password, &edits.apiLibrary};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i < 5) {
      if (lines[i] != "-") *general[i] = Utf8ToUtf16(lines[i]);
      continue;
    }
    if (lines[i] == "!") {
      edits.ignoreRequired = true;
      continue;
    }
    if (lines[i] == "#") {
      edits.displayFieldNames = true;
      continue;
    }
    const auto equals = lines[i].find('=');
    if (equals == std::string::npos) return 0;  // the command refuses it
    edits.mappings.emplace_back(Utf8ToUtf16(lines[i].substr(0, equals)),
                                Utf8ToUtf16(lines[i].substr(equals + 1)));
  }

  const auto file = batch::ReadBatchFile(kBatch, "fuzz.json");
  auto setupData = std::make_shared<batch::BatchSetupData>(file);
  CSetupMappingModel model(setupData.get());
  model.BuildCatalogue();
  model.LoadLinks();
  model.LoadCaptureValueNames();
  HeadlessSetupSheet sheet(std::move(edits));
  if (sheet.Run(u"Setup", model) != SheetResult::kOk) {
    FUZZ_CHECK(!sheet.refusal().empty() || sheet.stoppedAtRequiredField());
    return 0;
  }
  model.SaveLinks();
  const batch::SetupRecord current = setupData->Current();
  const std::string written = batch::WriteSetupInto(kBatch, current, "fuzz.json");
  const auto again = batch::ReadBatchFile(written, "fuzz.json");
  FUZZ_CHECK(again.setup.name == current.name);
  FUZZ_CHECK(again.setup.password == current.password);
  FUZZ_CHECK(again.setup.links.size() == current.links.size());
  FUZZ_CHECK(again.documents.size() == 1);
  return 0;
}
