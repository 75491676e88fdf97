// The machine-wide transaction sequence on POSIX systems: the last number
// drawn, kept in a file under an exclusive flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "release/transaction_number.h"

namespace mirdane {
namespace {

class FileSequence final : public TransactionSequence {
 public:
  explicit FileSequence(int fd) : fd_(fd) {}
  ~FileSequence() override { ::close(fd_); }
  FileSequence(const FileSequence&) = delete;
  FileSequence& operator=(const FileSequence&) = delete;

  std::int64_t Next(std::int64_t now) override {
    // flock excludes other processes; the mutex the other threads of this one,
    // which share the open file and so the lock.
    std::lock_guard lock(mutex_);
    // Without the lock the sequence is still strictly increasing in this process.
    if (::flock(fd_, LOCK_EX) != 0) {
      last_drawn_ = now > last_drawn_ ? now : last_drawn_ + 1;
      return last_drawn_;
    }
    std::int64_t last = ReadLast();
    if (last < last_drawn_) last = last_drawn_;
    const std::int64_t next = now > last ? now : last + 1;
    WriteLast(next);
    last_drawn_ = next;
    ::flock(fd_, LOCK_UN);
    return next;
  }

 private:
  std::int64_t ReadLast() {
    char buffer[32] = {};
    const ssize_t length = ::pread(fd_, buffer, sizeof buffer - 1, 0);
    if (length <= 0) return 0;
    return std::strtoll(buffer, nullptr, 10);
  }

  void WriteLast(std::int64_t value) {
    const std::string text = std::to_string(value) + "\n";
    if (::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size())) {
      (void)::ftruncate(fd_, static_cast<off_t>(text.size()));
    }
  }

  int fd_;
  std::mutex mutex_;
  std::int64_t last_drawn_ = 0;  // the last number this process drew
};

}  // namespace

std::unique_ptr<TransactionSequence> MakeFileSequence(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // Every user's Release module shares the file, whatever the creator's umask.
  (void)::fchmod(fd, 0666);
  return std::make_unique<FileSequence>(fd);
}

TransactionSequence& MachineTransactionSequence() {
  static const std::unique_ptr<TransactionSequence> sequence = [] {
    auto shared = MakeFileSequence("/tmp/mirdane-transaction-number");
    return shared ? std::move(shared) : MakeProcessSequence();
  }();
  return *sequence;
}

}  // namespace mirdane
