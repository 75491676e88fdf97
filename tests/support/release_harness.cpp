#include "tests/support/release_harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/text.h"
#include "bridge/bridge_tool.h"
#include "dbax/ax_library.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"

namespace mirdane::test {

ReleaseHarness::ReleaseHarness(std::string library) : library_(std::move(library)) {
  auto schema = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(system()), u"", u"");
  bridge::CreateBridgeTables(*schema, Utf8ToUtf16(library_));
  batch_ = {{"batchClass", "Test"}, {"documentClass", "Invoice"}};
  batch_["setup"] = {{"name", "test"},
                     {"connectString", system()},
                     {"customProperties", {{"serverAPILibrary", library_}}},
                     {"links", nlohmann::ordered_json::array()}};
  batch_["documents"] = nlohmann::ordered_json::array();
}

void ReleaseHarness::EnableLedger() {
  auto schema = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(system()), u"", u"");
  bridge::CreateLedgerTable(*schema, Utf8ToUtf16(library_));
  setup()["customProperties"]["releaseLedger"] = "1";
}

void ReleaseHarness::Link(const std::string& source, int type, const std::string& destination) {
  setup()["links"].push_back({{"source", source}, {"sourceType", type}, {"destination", destination}});
}

nlohmann::ordered_json& ReleaseHarness::AddDocument() {
  batch_["documents"].push_back(nlohmann::ordered_json::object());
  return batch_["documents"].back();
}

ReleaseRun ReleaseHarness::Run() {
  const auto path = dir_.path() / "batch.json";
  std::ofstream(path) << batch_.dump(2);
  const auto file = batch::LoadBatchFile(path);
  const auto log_dir = dir_.path() / "logs";
  std::filesystem::remove_all(log_dir);

  ReleaseRun run;
  batch::HostLog log(log_dir, [&run](const std::string& line) { run.status.push_back(line); });
  dbAx::AxLibInit();
  batch::ReleaseHooks hooks;
  hooks.after = [&run](const batch::DocumentRecord&, kfx::KfxReturnValue result) {
    run.results.push_back(result);
  };
  batch::ReleaseDocuments(file, log, hooks);
  dbAx::AxLibTerm();

  std::ifstream in(log.CurrentLogFile());
  for (std::string text; std::getline(in, text);) {
    std::istringstream fields(text);
    std::string stamp, severity, module, line, message;
    std::getline(fields, stamp, '\t');
    std::getline(fields, severity, '\t');
    std::getline(fields, module, '\t');
    std::getline(fields, line, '\t');
    std::getline(fields, message);
    run.log.push_back({std::stoi(severity), module, std::stoi(line), message});
  }
  return run;
}

dbAx::provider::QueryResult ReleaseHarness::Rows(const std::string& table, const std::string& columns) {
  const std::string order = table == "UAGYCPP"    ? "GYABNV"
                           : table == "MIRDLEDGER" ? "LGABNV"
                                                   : "G0ABNV, G0GMNB";
  auto schema = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(system()), u"", u"");
  const std::u16string from = schema->QualifiedName(Utf8ToUtf16(library_), Utf8ToUtf16(table));
  return schema->Query(Utf8ToUtf16("SELECT " + columns + " FROM ") + from +
                       Utf8ToUtf16(" ORDER BY " + order));
}

std::string Cell(const dbAx::provider::QueryResult& rows, std::size_t row, const std::string& column) {
  for (std::size_t i = 0; i < rows.columns.size(); ++i) {
    if (Utf16ToUtf8(rows.columns[i]) != column) continue;
    const auto& value = rows.rows.at(row).at(i);
    if (!value) return "NULL";
    std::string text = Utf16ToUtf8(*value);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
  }
  ADD_FAILURE() << "no column " << column;
  return {};
}

}  // namespace mirdane::test
