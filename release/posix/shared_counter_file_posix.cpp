// The shared counter file on POSIX systems, locked with flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

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
    const ssize_t read = ::pread(fd_, buffer, sizeof buffer - 1, 0);
    // Unknown when the read failed: the next write then truncates.
    read_length_ = read < 0 ? sizeof buffer : static_cast<std::size_t>(read);
    if (read <= 0) return 0;
    return std::strtoll(buffer, nullptr, 10);
  }

  void Write(std::int64_t value) override {
    const std::string text = std::to_string(value) + "\n";
    // Cut only where the file held more than the new text covers: a number
    // keeps its length for centuries, so a write seldom needs the call.
    if (::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()) &&
        text.size() < read_length_) {
      (void)::ftruncate(fd_, static_cast<off_t>(text.size()));
    }
  }

 private:
  int fd_;
  // How much the last Read found in the file.
  std::size_t read_length_ = SIZE_MAX;
};

}  // namespace

std::unique_ptr<SharedCounterFile> OpenSharedCounterFile(const std::string& path) {
  // A link planted where the file belongs is never followed, and a file that
  // another account owns (and so could rewrite) is not trusted.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
    ::close(fd);
    return nullptr;
  }
  // Only the releasing account writes it, whatever the creator's umask was.
  if ((status.st_mode & 0077) != 0) (void)::fchmod(fd, 0600);
  return std::make_unique<PosixCounterFile>(fd);
}

std::string MachineCounterPath() {
  // The account's own state folder: root's is the system's, any other
  // account's under its home. Never a folder that every user can write.
  std::string folder;
  if (::geteuid() == 0) {
    folder = "/var/lib/mirdane";
  } else if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
    folder = std::string(state) + "/mirdane";
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    folder = std::string(home) + "/.local/state/mirdane";
  } else {
    return {};
  }
  // Each missing level is made; the last one for this account alone.
  for (std::size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1)) {
    (void)::mkdir(folder.substr(0, at).c_str(), 0755);
  }
  (void)::mkdir(folder.c_str(), 0700);
  struct stat status {};
  if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != ::geteuid()) {
    return {};
  }
  return folder + "/transaction-number";
}

}  // namespace mirdane
