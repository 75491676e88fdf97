#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "base/text.h"

namespace mirdane::test {

TempDir::TempDir() {
  const char* root = std::getenv("MIRDANE_TEST_TMP");
  std::filesystem::path base = root ? root : std::filesystem::temp_directory_path();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  for (auto& c : name) {
    if (c == '/') c = '_';
  }
  std::random_device random;
  path_ = base / (name + "." + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::u16string TempDir::StandInSource(const std::string& name) const {
  return Utf8ToUtf16("sqlite:" + (path_ / name).string());
}

}  // namespace mirdane::test
