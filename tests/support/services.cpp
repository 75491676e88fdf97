#include "tests/support/services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>

#include "base/text.h"

namespace mirdane::test {
namespace {

std::filesystem::path ServicesDirectory() {
  const char* root = std::getenv("MIRDANE_TEST_TMP");
  if (!root) throw std::runtime_error("MIRDANE_TEST_TMP is not set: run the tests through CTest");
  return std::filesystem::path(root) / "services";
}

void RunScript(const std::filesystem::path& directory, const char* command) {
  const std::string script = std::string(MIRDANE_SOURCE_DIR) + "/scripts/test-services.sh";
  const std::string line = "'" + script + "' " + command + " '" + directory.string() + "'";
  if (std::system(line.c_str()) != 0) throw std::runtime_error(line + " failed");
}

}  // namespace

const Services& Services::Get() {
  static const Services services = [] {
    Services made;
    made.directory_ = ServicesDirectory();
    std::ifstream in(made.directory_ / "services.env");
    if (!in) {
      throw std::runtime_error("the test services are not set up (no " +
                               (made.directory_ / "services.env").string() +
                               "): CTest's services.setup runs scripts/test-services.sh");
    }
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(in, line);) {
      const auto equals = line.find('=');
      if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    made.port_ = values["PGPORT"];
    made.user_ = values["MIRDANE_PG_USER"];
    made.password_ = values["MIRDANE_PG_PASSWORD"];
    made.pg_dsn_ = values["MIRDANE_PG_DSN"];
    made.sqlite_dsn_ = values["MIRDANE_SQLITE_DSN"];
    // unixODBC reads these whenever it looks a driver or data source up.
    setenv("ODBCSYSINI", values["ODBCSYSINI"].c_str(), 1);
    setenv("ODBCINI", values["ODBCINI"].c_str(), 1);
    return made;
  }();
  return services;
}

std::u16string Services::PgSource() const { return Utf8ToUtf16("odbc:DSN=" + pg_dsn_); }

std::u16string Services::SqliteSource(const std::filesystem::path& file) const {
  return Utf8ToUtf16("odbc:DSN=" + sqlite_dsn_ + ";Database=" + file.string());
}

std::u16string Services::user() const { return Utf8ToUtf16(user_); }
std::u16string Services::password() const { return Utf8ToUtf16(password_); }

void Services::StopPostgres() const { RunScript(directory_, "stop"); }
void Services::StartPostgres() const { RunScript(directory_, "start"); }

std::u16string Services::UniqueLibrary() {
  static std::mt19937 random{std::random_device{}()};
  return Utf8ToUtf16("T" + std::to_string(random() % 100000000));
}

}  // namespace mirdane::test
