// The release into a database over ODBC, timed against a baseline of the
// same INSERTs issued directly through ODBC in the same run.
//
//   mirdane_odbc_bench --connect odbc:CONNECTION-STRING [--user USER]
//                      [--documents N] [--batch FILE]
//
// The password comes from MIRDANE_PASSWORD. Three fresh libraries are made:
// one the release writes into, and one for each baseline (a connection per
// document, as the release opens them, and one connection for all).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>

#include "base/text.h"
#include "bench/odbc/direct_inserts.h"
#include "bridge/bridge_schema.h"
#include "bridge/bridge_tool.h"
#include "dbax/provider/odbc/connection_string.h"
#include "dbax/provider/routing.h"
#include "dbax/provider/schema_session.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"

namespace mirdane::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  std::string connect;
  std::string user;
  std::string password;
  std::string batch = "samples/invoices.json";
  int documents = 200;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    if (name == "--connect") options->connect = value;
    else if (name == "--user") options->user = value;
    else if (name == "--batch") options->batch = value;
    else if (name == "--documents") options->documents = std::atoi(value.c_str());
    else return false;
  }
  if (const char* password = std::getenv("MIRDANE_PASSWORD")) options->password = password;
  return !options->connect.empty() && options->documents > 0 && argc % 2 == 1;
}

std::u16string FreshLibrary(const char16_t* prefix) {
  static std::mt19937 random{std::random_device{}()};
  return prefix + Utf8ToUtf16(std::to_string(random() % 1000000));
}

double Seconds(Clock::duration elapsed) { return std::chrono::duration<double>(elapsed).count(); }

// Releases `count` documents, cycling through those of the batch that release.
std::size_t ReleaseDocuments(batch::BatchFile file, int count, const std::filesystem::path& logs) {
  batch::HostLog log(logs, [](const std::string& text) { std::cerr << text; });
  const std::vector<batch::DocumentSpec> releasable = std::move(file.documents);
  file.documents.clear();
  for (int i = 0; i < count; ++i) {
    file.documents.push_back(releasable[static_cast<std::size_t>(i) % releasable.size()]);
    file.documents.back().number = i + 1;
  }
  const std::size_t released = batch::ReleaseDocuments(file, log);
  return released;
}

bool IsDefault(const std::u16string& value, bool decimal) {
  const auto trimmed = TrimBlanks(value);
  if (!decimal) return trimmed.empty();
  return trimmed.find_first_not_of(u"-0.") == std::u16string_view::npos;
}

// The rows the release stored, document by document, as INSERTs of the
// columns that hold more than their defaults, aimed at `target`.
std::vector<DocumentRows> StoredRows(dbAx::provider::SchemaSession& session,
                                     const std::u16string& library, const std::u16string& target) {
  std::map<std::u16string, DocumentRows> by_transaction;
  std::vector<std::u16string> order;
  for (const auto& table : bridge::BridgeTables()) {
    std::map<std::u16string, bool> decimal;
    for (const auto& column : table.columns) {
      decimal[column.name] = column.sqlType.starts_with(u"DECIMAL");
    }
    const bool header = table.name == bridge::kHeaderTable;
    const auto rows = session.Query(u"SELECT * FROM " + library + u"." + table.name +
                                    (header ? u" ORDER BY GYABNV" : u" ORDER BY G0ABNV, G0GMNB"));
    for (const auto& values : rows.rows) {
      InsertRow row{target + u"." + table.name, {}, {}};
      std::u16string transaction;
      for (std::size_t i = 0; i < values.size(); ++i) {
        const std::u16string name = AsciiUpper(rows.columns[i]);
        const std::u16string value = values[i].value_or(u"");
        if (name == u"GYABNV" || name == u"G0ABNV") transaction = value;
        const bool generated = name == u"GYABNV" || name == u"G0ABNV" || name == u"G0GMNB";
        if (!generated && IsDefault(value, decimal[name])) continue;
        row.columns.push_back(name);
        row.values.push_back(value);
      }
      if (header) order.push_back(transaction);
      by_transaction[transaction].push_back(std::move(row));
    }
  }
  std::vector<DocumentRows> documents;
  for (const auto& transaction : order) documents.push_back(std::move(by_transaction[transaction]));
  return documents;
}

std::size_t CountRows(dbAx::provider::SchemaSession& session, const std::u16string& library) {
  std::size_t count = 0;
  for (const auto& table : bridge::BridgeTables()) {
    count += session.Query(u"SELECT * FROM " + library + u"." + table.name).rows.size();
  }
  return count;
}

void Report(const char* what, std::size_t rows, double seconds, double baseline) {
  std::cout << what << ": " << rows << " rows in " << seconds << " s ("
            << static_cast<long>(static_cast<double>(rows) / seconds) << " rows/s)";
  if (baseline > 0) std::cout << ", " << seconds / baseline << " x the direct time";
  std::cout << "\n";
}

int Run(const Options& options) {
  const std::u16string connect = Utf8ToUtf16(options.connect);
  const std::u16string user = Utf8ToUtf16(options.user);
  const std::u16string password = Utf8ToUtf16(options.password);
  auto session = dbAx::provider::OpenSchemaSession(connect, user, password);
  const std::u16string released_into = FreshLibrary(u"BENCHR");
  const std::u16string direct_each = FreshLibrary(u"BENCHD");
  const std::u16string direct_one = FreshLibrary(u"BENCHS");
  for (const auto& library : {released_into, direct_each, direct_one}) {
    bridge::CreateBridgeTables(*session, library);
  }

  auto file = batch::LoadBatchFile(options.batch);
  file.setup.connectString = connect;
  file.setup.userName = user;
  file.setup.password = password;
  file.setup.customProperties = {{u"serverAPILibrary", released_into}};
  // Only documents that release: a failing one would time its error path.
  std::erase_if(file.documents, [](const auto& document) { return document.number == 4; });

  const auto logs = std::filesystem::temp_directory_path() / "mirdane-odbc-bench-logs";
  auto start = Clock::now();
  const std::size_t released = ReleaseDocuments(file, options.documents, logs);
  const double release_seconds = Seconds(Clock::now() - start);
  std::filesystem::remove_all(logs);
  if (released != static_cast<std::size_t>(options.documents)) {
    std::cerr << "only " << released << " of " << options.documents << " documents released\n";
    return 1;
  }

  const auto connection_string = dbAx::provider::odbc::BuildConnectionString(
      dbAx::provider::RouteOf(connect), user, password);
  const auto each = StoredRows(*session, released_into, direct_each);
  start = Clock::now();
  InsertDirectly(connection_string.text, each, true);
  const double each_seconds = Seconds(Clock::now() - start);
  const auto one = StoredRows(*session, released_into, direct_one);
  start = Clock::now();
  InsertDirectly(connection_string.text, one, false);
  const double one_seconds = Seconds(Clock::now() - start);

  const std::size_t rows = CountRows(*session, released_into);
  if (CountRows(*session, direct_each) != rows || CountRows(*session, direct_one) != rows) {
    std::cerr << "the baselines stored other numbers of rows than the release\n";
    return 1;
  }
  std::cout << "odbc bench: " << options.documents << " documents, " << rows
            << " rows, each committed by itself\n";
  Report("direct ODBC INSERTs, one connection", rows, one_seconds, 0);
  Report("direct ODBC INSERTs, a connection per document", rows, each_seconds, 0);
  Report("release over odbc: (a connection per document)", rows, release_seconds, each_seconds);
  return 0;
}

}  // namespace
}  // namespace mirdane::bench

int main(int argc, char** argv) {
  mirdane::bench::Options options;
  if (!mirdane::bench::ParseOptions(argc, argv, &options)) {
    std::cerr << "usage: mirdane_odbc_bench --connect odbc:CONNECTION-STRING [--user USER] "
                 "[--documents N] [--batch FILE]\n(the password comes from MIRDANE_PASSWORD)\n";
    return 2;
  }
  try {
    return mirdane::bench::Run(options);
  } catch (const std::exception& error) {
    std::cerr << "mirdane_odbc_bench: " << error.what() << "\n";
    return 1;
  }
}
