// The release into a database over ODBC, against a baseline that issues
// byte for byte the same INSERTs directly through ODBC, in interleaved
// rounds of the same run.
//
//   mirdane_odbc_bench --connect odbc:CONNECTION-STRING [--user USER]
//                      [--documents N] [--rounds N]
//
// The password comes from MIRDANE_PASSWORD. A first release, not timed,
// stores the rows the baselines write. Each round then makes three fresh
// libraries and runs, in an order that turns with the rounds, the release
// into one and a baseline into each of the others: one connecting per
// document, as the release's documents connect, and one connecting once.
// The baselines prepare each INSERT once per connection, pause before each
// document as the release does and commit each row; every library must end
// up holding the same values (the release's own transaction numbers apart).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <CLI/CLI.hpp>

#include "base/text.h"
#include "bench/bench_support.h"
#include "bench/odbc/direct_inserts.h"
#include "bench/odbc/latency_proxy.h"
#include "bridge/bridge_schema.h"
#include "bridge/bridge_tool.h"
#include "dbax/ax_library.h"
#include "dbax/provider/odbc/connection_string.h"
#include "dbax/provider/routing.h"
#include "dbax/provider/schema_session.h"

namespace mirdane::bench {
namespace {

using dbAx::provider::SchemaSession;

std::u16string FreshLibrary(const char16_t* prefix) {
  static std::mt19937 random{std::random_device{}()};
  return prefix + Utf8ToUtf16(std::to_string(random() % 1000000));
}

bool IsDefault(const std::u16string& value, bool decimal) {
  const auto trimmed = TrimBlanks(value);
  if (!decimal) return trimmed.empty();
  return trimmed.find_first_not_of(u"-0.") == std::u16string_view::npos;
}

std::u16string OrderOf(const std::u16string& table) {
  return table == bridge::kHeaderTable ? u" ORDER BY GYABNV" : u" ORDER BY G0ABNV, G0GMNB";
}

// The rows the release stored, document by document, as INSERTs into
// `target` of the columns that hold more than their defaults (those the
// release assigned; the rest take their defaults on both sides).
std::vector<DocumentRows> StoredRows(SchemaSession& session, const std::u16string& library,
                                     const std::u16string& target) {
  using dbAx::provider::odbc::ToSql;
  std::map<std::u16string, DocumentRows> by_transaction;
  std::vector<std::u16string> order;
  for (const auto& table : bridge::BridgeTables()) {
    std::map<std::u16string, bool> decimal;
    for (const auto& column : table.columns) {
      decimal[column.name] = column.sqlType.starts_with(u"DECIMAL");
    }
    const bool header = table.name == bridge::kHeaderTable;
    const auto rows = session.Query(u"SELECT * FROM " + library + u"." + table.name +
                                    OrderOf(table.name));
    for (const auto& values : rows.rows) {
      std::u16string columns, marks, transaction;
      InsertRow row;
      for (std::size_t i = 0; i < values.size(); ++i) {
        const std::u16string name = AsciiUpper(rows.columns[i]);
        const std::u16string value = values[i].value_or(u"");
        if (name == u"GYABNV" || name == u"G0ABNV") transaction = value;
        const bool generated = name == u"GYABNV" || name == u"G0ABNV" || name == u"G0GMNB";
        if (!generated && IsDefault(value, decimal[name])) continue;
        columns += (columns.empty() ? u"" : u", ") + name;
        marks += marks.empty() ? u"?" : u", ?";
        row.values.push_back(ToSql(value));
      }
      row.sql = ToSql(u"INSERT INTO " + target + u"." + table.name + u" (" + columns +
                      u") VALUES (" + marks + u")");
      if (header) order.push_back(transaction);
      by_transaction[transaction].push_back(std::move(row));
    }
  }
  std::vector<DocumentRows> documents;
  for (const auto& transaction : order) documents.push_back(std::move(by_transaction[transaction]));
  return documents;
}

// Every value of the bridge tables of `library`, in key order.
std::vector<dbAx::provider::QueryResult> Content(SchemaSession& session,
                                                 const std::u16string& library) {
  std::vector<dbAx::provider::QueryResult> tables;
  for (const auto& table : bridge::BridgeTables()) {
    tables.push_back(session.Query(u"SELECT * FROM " + library + u"." + table.name +
                                   OrderOf(table.name)));
  }
  return tables;
}

// Whether two libraries hold the same values; with `but_numbers` the
// transaction numbers, which each release draws afresh, are not compared.
bool SameContent(SchemaSession& session, const std::u16string& a, const std::u16string& b,
                 bool but_numbers = false) {
  auto left = Content(session, a);
  auto right = Content(session, b);
  for (std::size_t t = 0; t < left.size(); ++t) {
    if (but_numbers) {
      for (std::size_t c = 0; c < left[t].columns.size(); ++c) {
        const std::u16string name = AsciiUpper(left[t].columns[c]);
        if (name != u"GYABNV" && name != u"G0ABNV") continue;
        for (auto* result : {&left[t], &right[t]}) {
          for (auto& row : result->rows) row[c].reset();
        }
      }
    }
    if (left[t].rows != right[t].rows) return false;
  }
  return true;
}

void DropLibrary(SchemaSession& session, const std::u16string& library) {
  try {
    session.Execute(u"DROP SCHEMA " + library + u" CASCADE");
  } catch (const std::exception&) {
    // Left behind in a throwaway database.
  }
}

struct Options {
  std::string connect;
  std::string user;
  std::string password;
  int documents = 100;
  int rounds = 5;
  int server_port = 0;  // the server's port, for the latency table
  int latency_documents = 100;
  int latency_rounds = 3;
};

// One line of the table: `documents` documents of `lines` lines each.
void Compare(const Options& options, SchemaSession& session, int lines) {
  const std::u16string connect = Utf8ToUtf16(options.connect);
  const std::u16string user = Utf8ToUtf16(options.user);
  const std::u16string password = Utf8ToUtf16(options.password);
  const auto connection_string =
      dbAx::provider::odbc::BuildConnectionString(dbAx::provider::RouteOf(connect), user, password)
          .text;
  const auto logs = std::filesystem::temp_directory_path() / "mirdane-odbc-bench-logs";
  const auto batch_into = [&](const std::u16string& library) {
    auto file = MakeBatch(connect, library, options.documents, lines);
    file.setup.userName = user;
    file.setup.password = password;
    return file;
  };
  // A release first, not timed: it warms the driver and the server, and the
  // baselines of every round write the rows it stored.
  const std::u16string reference = FreshLibrary(u"BENCHF");
  bridge::CreateBridgeTables(session, reference);
  TimeRelease(batch_into(reference), logs);

  Ratios against_each, against_once;
  std::vector<double> release_ms, each_ms, once_ms;
  for (int round = 0; round < options.rounds; ++round) {
    const std::u16string released_into = FreshLibrary(u"BENCHR");
    const std::u16string direct_each = FreshLibrary(u"BENCHD");
    const std::u16string direct_once = FreshLibrary(u"BENCHS");
    for (const auto& library : {released_into, direct_each, direct_once}) {
      bridge::CreateBridgeTables(session, library);
    }
    const auto file = batch_into(released_into);
    const auto each_rows = StoredRows(session, reference, direct_each);
    const auto once_rows = StoredRows(session, reference, direct_once);
    double release = 0, each = 0, once = 0;
    // The three in a different order each round, so that none always runs
    // on a server the others have just warmed or burdened.
    for (int step = 0; step < 3; ++step) {
      switch ((round + step) % 3) {
        case 0: release = TimeRelease(file, logs); break;
        case 1: each = InsertDirectly(connection_string, each_rows, true); break;
        default: once = InsertDirectly(connection_string, once_rows, false); break;
      }
    }
    if (!SameContent(session, reference, direct_each) ||
        !SameContent(session, reference, direct_once) ||
        !SameContent(session, reference, released_into, true)) {
      std::fprintf(stderr, "the baselines stored other rows than the release\n");
      std::exit(1);
    }
    for (const auto& library : {released_into, direct_each, direct_once}) {
      DropLibrary(session, library);
    }
    against_each.values.push_back(release / each);
    against_once.values.push_back(release / once);
    release_ms.push_back(1e3 * release / options.documents);
    each_ms.push_back(1e3 * each / options.documents);
    once_ms.push_back(1e3 * once / options.documents);
  }
  DropLibrary(session, reference);
  std::filesystem::remove_all(logs);
  std::printf("  %6d %6d %10.3f %10.3f %10.3f   %-13s %s\n", options.documents, lines,
              Median(release_ms), Median(each_ms), Median(once_ms), against_each.Text().c_str(),
              against_once.Text().c_str());
}

// One line of the latency table: documents of `lines` lines released through
// `proxy`, against the two-round-trip baseline through it.
void CompareAtDistance(const Options& options, SchemaSession& session, LatencyProxy& proxy,
                       int delay_ms, int lines) {
  const std::u16string direct = Utf8ToUtf16(options.connect);
  const std::u16string distant = direct + u";Port=" + Utf8ToUtf16(std::to_string(proxy.port()));
  const std::u16string user = Utf8ToUtf16(options.user);
  const std::u16string password = Utf8ToUtf16(options.password);
  const auto connection_string = dbAx::provider::odbc::BuildConnectionString(
                                     dbAx::provider::RouteOf(distant), user, password)
                                     .text;
  const auto logs = std::filesystem::temp_directory_path() / "mirdane-latency-bench-logs";
  const auto batch_into = [&](const std::u16string& source, const std::u16string& library) {
    auto file = MakeBatch(source, library, options.latency_documents, lines);
    file.setup.userName = user;
    file.setup.password = password;
    return file;
  };
  proxy.SetDelay(std::chrono::microseconds(0));
  const std::u16string reference = FreshLibrary(u"LATF");
  bridge::CreateBridgeTables(session, reference);
  TimeRelease(batch_into(direct, reference), logs);

  Ratios ratios;
  std::vector<double> release_ms, floor_ms, release_turns, floor_turns;
  const double documents = options.latency_documents;
  for (int round = 0; round < options.latency_rounds; ++round) {
    const std::u16string released_into = FreshLibrary(u"LATR");
    const std::u16string floor_into = FreshLibrary(u"LATB");
    for (const auto& library : {released_into, floor_into}) {
      bridge::CreateBridgeTables(session, library);
    }
    const auto file = batch_into(distant, released_into);
    const auto rows = StoredRows(session, reference, floor_into);
    proxy.SetDelay(std::chrono::milliseconds(delay_ms));
    double release = 0, floor = 0;
    for (int step = 0; step < 2; ++step) {
      const auto turns = proxy.turns();
      if ((round + step) % 2 == 0) {
        release = TimeRelease(file, logs);
        release_turns.push_back(static_cast<double>(proxy.turns() - turns) / documents);
      } else {
        floor = InsertInTwoTrips(connection_string, rows);
        floor_turns.push_back(static_cast<double>(proxy.turns() - turns) / documents);
      }
    }
    proxy.SetDelay(std::chrono::microseconds(0));
    if (!SameContent(session, reference, floor_into) ||
        !SameContent(session, reference, released_into, true)) {
      std::fprintf(stderr, "the baseline stored other rows than the release\n");
      std::exit(1);
    }
    for (const auto& library : {released_into, floor_into}) DropLibrary(session, library);
    ratios.values.push_back(release / floor);
    release_ms.push_back(1e3 * release / documents);
    floor_ms.push_back(1e3 * floor / documents);
  }
  DropLibrary(session, reference);
  std::filesystem::remove_all(logs);
  std::printf("  %5d %6d %9.2f %9.2f %10.2f %10.2f   %s\n", delay_ms, lines, Median(release_turns),
              Median(floor_turns), Median(release_ms), Median(floor_ms), ratios.Text().c_str());
}

// The release at a distance from the server: a proxy that delays every
// message each way and counts the round trips.
void LatencyTable(const Options& options, SchemaSession& session) {
  LatencyProxy proxy(options.server_port);
  std::printf("odbc at a distance: the release / one connection sending each document's header "
              "and then its lines as one array (%d documents, %d interleaved rounds; medians, "
              "ratio median (min))\n",
              options.latency_documents, options.latency_rounds);
  std::printf("  %5s %6s %9s %9s %10s %10s   %s\n", "ms", "lines", "trips", "trips/2",
              "release", "2 trips", "ratio");
  for (const int delay : {0, 1, 5}) {
    for (const int lines : {1, 5, 20, 100}) CompareAtDistance(options, session, proxy, delay, lines);
  }
  std::printf("  ms: delay each way; trips: request/response turns per document (connecting "
              "included); release and 2 trips: ms per document\n"
              "  goal: at 5 ms, 20 lines: at most 4 trips and at most 1.5x\n");
}

int Run(const Options& options) {
  auto session = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(options.connect),
                                                   Utf8ToUtf16(options.user),
                                                   Utf8ToUtf16(options.password));
  std::printf("odbc: the release / direct ODBC INSERTs of the same rows (%d interleaved rounds; "
              "median (min) of the ratios; ms per document are medians)\n", options.rounds);
  std::printf("  %6s %6s %10s %10s %10s   %-13s %s\n", "docs", "lines", "release", "direct/doc",
              "direct/1", "vs conn/doc", "vs one conn");
  for (const int lines : {1, 10, 100}) Compare(options, *session, lines);
  std::printf("  direct/doc connects per document, as the release's documents do; direct/1 "
              "connects once\n  goal: the release within 1.10x of direct/1 (median)\n");
  if (options.server_port > 0) {
    std::printf("\n");
    LatencyTable(options, *session);
  }
  return 0;
}

}  // namespace
}  // namespace mirdane::bench

int main(int argc, char** argv) {
  mirdane::bench::Options options;
  CLI::App app{"mirdane ODBC benchmark: the release against direct ODBC INSERTs, in one run"};
  app.add_option("--connect", options.connect, "odbc:CONNECTION-STRING")->required();
  app.add_option("--user", options.user, "user name");
  app.add_option("--documents", options.documents, "documents in each run")
      ->check(CLI::PositiveNumber);
  app.add_option("--rounds", options.rounds, "interleaved rounds (at least 5 for the ratios)")
      ->check(CLI::PositiveNumber);
  app.add_option("--server-port", options.server_port,
                 "the server's TCP port on loopback: adds the table at a distance, through a "
                 "delaying proxy (the connection string must take Port=)");
  app.add_option("--latency-documents", options.latency_documents, "documents per run at a distance")
      ->check(CLI::PositiveNumber);
  app.add_option("--latency-rounds", options.latency_rounds, "interleaved rounds at a distance")
      ->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);
  if (const char* password = std::getenv("MIRDANE_PASSWORD")) options.password = password;
  try {
    dbAx::AxLibInit();
    const int status = mirdane::bench::Run(options);
    dbAx::AxLibTerm();
    return status;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "mirdane_odbc_bench: %s\n", error.what());
    return 1;
  }
}
