#include "tests/support/services.h"

#include <dlfcn.h>
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

// With AddressSanitizer, the ODBC drivers are kept loaded for the life of
// the process: the driver manager unloads a driver when its last connection
// ends, and a leak inside the driver would then be reported against an
// unknown module, which no suppression can name. Loaded, it is reported
// under its own name, and tests/sanitizers/lsan.supp lets only that pass.
void KeepDriversLoaded(const std::string& odbcinst_directory) {
#if defined(__SANITIZE_ADDRESS__)
  std::ifstream in(std::filesystem::path(odbcinst_directory) / "odbcinst.ini");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Driver", 0) != 0) continue;
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string path = line.substr(equals + 1);
    path.erase(0, path.find_first_not_of(' '));
    (void)dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);  // never closed
  }
#else
  (void)odbcinst_directory;
#endif
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
    KeepDriversLoaded(values["ODBCSYSINI"]);
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
