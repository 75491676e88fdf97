// The shared counter file on POSIX systems, locked with flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "release/shared_counter_file.h"

namespace mirdane {
namespace {

class PosixCounterFile final : public SharedCounterFile {
 public:
  explicit PosixCounterFile(int fd) : fd_(fd) {}
  ~PosixCounterFile() override { ::close(fd_); }
  PosixCounterFile(const PosixCounterFile&) = delete;
  PosixCounterFile& operator=(const PosixCounterFile&) = delete;

  bool Lock() override { return ::flock(fd_, LOCK_EX) == 0; }
  void Unlock() override { ::flock(fd_, LOCK_UN); }

  std::int64_t Read() override {
    char buffer[32] = {};
    if (::pread(fd_, buffer, sizeof buffer - 1, 0) <= 0) return 0;
    return std::strtoll(buffer, nullptr, 10);
  }

  void Write(std::int64_t value) override {
    const std::string text = std::to_string(value) + "\n";
    if (::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size())) {
      (void)::ftruncate(fd_, static_cast<off_t>(text.size()));
    }
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<SharedCounterFile> OpenSharedCounterFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // Every user's Release module shares the file, whatever the creator's umask.
  (void)::fchmod(fd, 0666);
  return std::make_unique<PosixCounterFile>(fd);
}

std::string MachineCounterPath() { return "/tmp/mirdane-transaction-number"; }

}  // namespace mirdane
