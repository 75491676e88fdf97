// The shared counter file on Windows, under ProgramData, locked with LockFileEx.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "release/shared_counter_file.h"

namespace mirdane {
namespace {

class WindowsCounterFile final : public SharedCounterFile {
 public:
  explicit WindowsCounterFile(HANDLE file) : file_(file) {}
  ~WindowsCounterFile() override { ::CloseHandle(file_); }
  WindowsCounterFile(const WindowsCounterFile&) = delete;
  WindowsCounterFile& operator=(const WindowsCounterFile&) = delete;

  bool Lock() override {
    OVERLAPPED whole{};
    return ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != FALSE;
  }
  void Unlock() override {
    OVERLAPPED whole{};
    ::UnlockFileEx(file_, 0, MAXDWORD, MAXDWORD, &whole);
  }

  std::int64_t Read() override {
    char buffer[32] = {};
    DWORD read = 0;
    ::SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
    if (!::ReadFile(file_, buffer, sizeof buffer - 1, &read, nullptr) || read == 0) return 0;
    return std::strtoll(buffer, nullptr, 10);
  }

  void Write(std::int64_t value) override {
    const std::string text = std::to_string(value) + "\r\n";
    DWORD written = 0;
    ::SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
    if (::WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      ::SetEndOfFile(file_);
    }
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<SharedCounterFile> OpenSharedCounterFile(const std::string& path) {
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
  const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // A link planted where the file belongs is never followed.
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information) ||
      (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ::CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<WindowsCounterFile>(file);
}

std::string MachineCounterPath() {
  char folder[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("ProgramData", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::string directory = std::string(folder) + "\\mirdane";
  ::CreateDirectoryA(directory.c_str(), nullptr);
  return directory + "\\transaction-number";
}

}  // namespace mirdane
