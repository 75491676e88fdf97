#include "bench/bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "dbax/provider/session_pool.h"
#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"

namespace mirdane::bench {

void PauseAsTheReleaseDoes() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

batch::BatchFile MakeBatch(const std::u16string& source, const std::u16string& library,
                           int documents, int lines) {
  batch::BatchFile file;
  file.path = "bench.json";
  file.setup.connectString = source;
  file.setup.customProperties = {{u"serverAPILibrary", library}};
  file.setup.links = {{u"INV", 1, u"UAGYCPP.GYH6CD", 0},
                      {u"Vendor", 0, u"UAGYCPP.GYHBCD", 0},
                      {u"Total", 0, u"UAGYCPP.GYAB34", 0},
                      {u"Description", 0, u"UAG0CPP.G0FRNA", 0},
                      {u"Quantity", 0, u"UAG0CPP.G0AAQT", 0},
                      {u"Price", 0, u"UAG0CPP.G0ACPR", 0}};
  for (int d = 0; d < documents; ++d) {
    batch::DocumentRecord document;
    document.number = d + 1;
    document.indexFields = {{u"Vendor", u"V" + Utf8ToUtf16(std::to_string(1000 + d % 900))},
                            {u"Total", u"1234.50"}};
    batch::TableRecord table{u"Lines", {{u"Description", {}}, {u"Quantity", {}}, {u"Price", {}}}};
    for (int l = 0; l < lines; ++l) {
      table.columns[0].second.push_back(u"Item " + Utf8ToUtf16(std::to_string(l + 1)));
      table.columns[1].second.push_back(u"2");
      table.columns[2].second.push_back(u"4.95");
    }
    document.tables.push_back(std::move(table));
    file.documents.push_back(std::move(document));
  }
  return file;
}

std::string BatchJson(const batch::BatchFile& file) {
  using Json = nlohmann::ordered_json;
  Json links = Json::array();
  for (const auto& link : file.setup.links) {
    links.push_back({{"source", Utf16ToUtf8(link.source)},
                     {"sourceType", link.sourceType},
                     {"destination", Utf16ToUtf8(link.destination)}});
  }
  Json properties = Json::object();
  for (const auto& [name, value] : file.setup.customProperties) {
    properties[Utf16ToUtf8(name)] = Utf16ToUtf8(value);
  }
  std::string text = Json{{"setup",
                           {{"connectString", Utf16ToUtf8(file.setup.connectString)},
                            {"customProperties", properties},
                            {"links", links}}}}
                         .dump();
  // The documents written one by one: a whole DOM of 10,000 would be what
  // the reader no longer needs.
  text.pop_back();
  text += ",\n\"documents\": [";
  bool first = true;
  for (const auto& document : file.documents) {
    Json fields = Json::object();
    for (const auto& [name, value] : document.indexFields) fields[Utf16ToUtf8(name)] = Utf16ToUtf8(value);
    Json tables = Json::object();
    for (const auto& table : document.tables) {
      Json columns = Json::object();
      for (const auto& [name, rows] : table.columns) {
        Json texts = Json::array();
        for (const auto& row : rows) texts.push_back(Utf16ToUtf8(row));
        columns[Utf16ToUtf8(name)] = texts;
      }
      tables[Utf16ToUtf8(table.name)] = columns;
    }
    text += first ? "\n" : ",\n";
    first = false;
    text += Json{{"indexFields", fields}, {"tables", tables}}.dump();
  }
  return text + "]}\n";
}

double TimeRelease(const batch::BatchFile& file, const std::filesystem::path& logs) {
  batch::HostLog log(logs, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  const auto start = Clock::now();
  const std::size_t released = batch::ReleaseDocuments(file, log);
  const double seconds = SecondsSince(start);
  dbAx::provider::SessionPool::Instance().Clear();
  if (released != file.documents.size()) {
    std::fprintf(stderr, "only %zu of %zu documents released; see %s\n", released,
                 file.documents.size(), logs.c_str());
    std::exit(1);
  }
  return seconds;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Ratios::Median() const { return bench::Median(values); }

double Ratios::Min() const {
  return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

std::string Ratios::Text() const {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f (%.2f)", Median(), Min());
  return text;
}

}  // namespace mirdane::bench
