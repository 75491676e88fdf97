#include "host/batch/host_log.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <iostream>

#include "base/text.h"

namespace mirdane::batch {
namespace {

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local;
}

std::string Stamp(const std::tm& time, const char* format) {
  char buffer[64];
  const std::size_t length = std::strftime(buffer, sizeof buffer, format, &time);
  return std::string(buffer, length);
}

// Appends `text` as one line: line breaks written as \n (and \r).
void AppendOneLine(const std::u16string& text, std::string* line) {
  const std::string utf8 = Utf16ToUtf8(text);
  std::size_t from = 0;
  for (std::size_t at = utf8.find_first_of("\r\n"); at != std::string::npos;
       at = utf8.find_first_of("\r\n", from)) {
    line->append(utf8, from, at - from);
    *line += utf8[at] == '\n' ? "\\n" : "\\r";
    from = at + 1;
  }
  line->append(utf8, from, std::string::npos);
}

}  // namespace

HostLog::HostLog(std::filesystem::path directory, std::function<void(const std::string&)> status)
    : directory_(std::move(directory)), status_(std::move(status)) {
  if (!status_) status_ = [](const std::string& line) { std::cerr << line << std::flush; };
}

std::filesystem::path HostLog::LogFileAt(const std::tm& time) const {
  return directory_ / ("ERR_" + Stamp(time, "%y%m") + ".txt");
}

std::filesystem::path HostLog::CurrentLogFile() const { return LogFileAt(LocalNow()); }

std::string HostLog::Append(const std::tm& time, const std::string& line) {
  // The file stays open from one line to the next, as a run may log a line
  // per document; each line still reaches the system before the call returns.
  const int month = time.tm_year * 12 + time.tm_mon;
  if (!file_.is_open() || month != open_month_) {
    file_.close();
    file_.clear();
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    file_.open(LogFileAt(time), std::ios::app | std::ios::binary);
    if (!file_) {
      const int opening = errno;
      file_.close();
      return error ? error.message() : std::string(std::strerror(opening));
    }
    open_month_ = month;
  }
  file_ << line;
  file_.flush();
  if (file_.fail()) {
    file_.close();  // opened afresh for the next line
    return "writing failed (is the disk full?)";
  }
  return {};
}

bool HostLog::LogError(std::int32_t severity, const std::u16string& message,
                       const std::u16string& codeModule, std::int32_t lineNumber) {
  std::lock_guard lock(mutex_);
  const std::tm now = LocalNow();
  // Built in one buffer: a run may log a line for every document.
  std::string line = Stamp(now, "%Y-%m-%d %H:%M:%S");
  line.reserve(line.size() + codeModule.size() + message.size() + 32);
  line += '\t';
  line += std::to_string(severity);
  line += '\t';
  AppendOneLine(codeModule, &line);
  line += '\t';
  line += std::to_string(lineNumber);
  line += '\t';
  AppendOneLine(message, &line);
  line += '\n';
  const std::string why = Append(now, line);
  if (why.empty()) return true;
  if (!failed_) {
    status_("the error log " + LogFileAt(now).string() + " cannot be written: " + why +
            "; what it would hold follows here\n");
  }
  failed_ = true;
  status_("not logged: " + line);
  return false;
}

bool HostLog::failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

void HostLog::SendMessage(int document, const std::u16string& message) {
  std::string text = Utf16ToUtf8(message);
  // Continuation lines of a long database error stay visibly part of the message.
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 3)) {
    text.replace(at, 1, "\n   ");
  }
  std::lock_guard lock(mutex_);
  status_("document " + std::to_string(document) + ": " + text + "\n");
}

}  // namespace mirdane::batch
