// The machine-wide transaction sequence on Windows: the last number drawn,
// kept in a file under ProgramData, locked with LockFileEx.
#include <windows.h>

#include <mutex>
#include <string>

#include "release/transaction_number.h"

namespace mirdane {
namespace {

class FileSequence final : public TransactionSequence {
 public:
  explicit FileSequence(HANDLE file) : file_(file) {}
  ~FileSequence() override { ::CloseHandle(file_); }
  FileSequence(const FileSequence&) = delete;
  FileSequence& operator=(const FileSequence&) = delete;

  std::int64_t Next(std::int64_t now) override {
    std::lock_guard lock(mutex_);
    OVERLAPPED whole{};
    if (!::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
      // Without the lock the sequence is still strictly increasing in this process.
      last_drawn_ = now > last_drawn_ ? now : last_drawn_ + 1;
      return last_drawn_;
    }
    std::int64_t last = ReadLast();
    if (last < last_drawn_) last = last_drawn_;
    const std::int64_t next = now > last ? now : last + 1;
    WriteLast(next);
    last_drawn_ = next;
    OVERLAPPED unlock{};
    ::UnlockFileEx(file_, 0, MAXDWORD, MAXDWORD, &unlock);
    return next;
  }

 private:
  std::int64_t ReadLast() {
    char buffer[32] = {};
    DWORD read = 0;
    ::SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
    if (!::ReadFile(file_, buffer, sizeof buffer - 1, &read, nullptr) || read == 0) return 0;
    return std::strtoll(buffer, nullptr, 10);
  }

  void WriteLast(std::int64_t value) {
    const std::string text = std::to_string(value) + "\r\n";
    DWORD written = 0;
    ::SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
    if (::WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      ::SetEndOfFile(file_);
      ::FlushFileBuffers(file_);
    }
  }

  HANDLE file_;
  std::mutex mutex_;
  std::int64_t last_drawn_ = 0;  // the last number this process drew
};

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

std::unique_ptr<TransactionSequence> MakeFileSequence(const std::string& path) {
  const HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<FileSequence>(file);
}

TransactionSequence& MachineTransactionSequence() {
  static const std::unique_ptr<TransactionSequence> sequence = [] {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"ProgramData", folder, MAX_PATH);
    std::unique_ptr<TransactionSequence> shared;
    if (length > 0 && length < MAX_PATH) {
      std::wstring directory = std::wstring(folder) + L"\\mirdane";
      ::CreateDirectoryW(directory.c_str(), nullptr);
      const std::wstring path = directory + L"\\transaction-number";
      const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) shared = std::make_unique<FileSequence>(file);
    }
    return shared ? std::move(shared) : MakeProcessSequence();
  }();
  return *sequence;
}

}  // namespace mirdane
