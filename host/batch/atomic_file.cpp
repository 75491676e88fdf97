#include "host/batch/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "host/batch/batch_file.h"

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mirdane::batch {
namespace {

namespace fs = std::filesystem;

std::FILE* OpenForWriting(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

// Makes the file's data durable before it takes the old file's place.
bool SyncFile(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

// Makes the rename itself durable; where directories cannot be opened
// (Windows), the rename is durable once it returns.
void SyncDirectory([[maybe_unused]] const fs::path& directory) {
#ifndef _WIN32
  const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY);
  if (fd >= 0) {
    fsync(fd);  // best effort: some file systems refuse it
    close(fd);
  }
#endif
}

std::string TemporaryName(const fs::path& target) {
  std::random_device random;
  const auto suffix = std::to_string(random()) + std::to_string(random());
  return "." + target.filename().string() + "." + suffix + ".tmp";
}

[[noreturn]] void Fail(const fs::path& path, const std::string& what) {
  throw BatchFileError(path.string() + ": cannot be written: " + what);
}

}  // namespace

void ReplaceFileAtomically(const fs::path& path, const std::string& bytes) {
  std::error_code error;
  // Replacing a symbolic link would turn it into a file; write where it points.
  fs::path target = path;
  if (fs::is_symlink(path, error)) {
    target = fs::canonical(path, error);
    if (error) Fail(path, error.message());
  }
  const fs::path temporary = target.parent_path() / TemporaryName(target);

  std::FILE* file = OpenForWriting(temporary);
  if (!file) Fail(path, std::strerror(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                       std::fflush(file) == 0 && SyncFile(file);
  const int write_errno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    fs::remove(temporary, error);
    Fail(path, std::strerror(written ? errno : write_errno));
  }

  const auto permissions = fs::status(target, error).permissions();
  if (!error) fs::permissions(temporary, permissions, error);  // best effort

  fs::rename(temporary, target, error);
  if (error) {
    const std::string what = error.message();
    fs::remove(temporary, error);
    Fail(path, what);
  }
  SyncDirectory(target.parent_path());
}

}  // namespace mirdane::batch
