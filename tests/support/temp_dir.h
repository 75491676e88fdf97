// A fresh directory per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace mirdane::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // "sqlite:<path>/<name>": a stand-in system inside this directory.
  std::u16string StandInSource(const std::string& name = "system") const;

 private:
  std::filesystem::path path_;
};

}  // namespace mirdane::test
