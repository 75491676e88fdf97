#include "host/batch/host_log.h"

#include <chrono>
#include <ctime>
#include <fstream>
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

// One line per message: line breaks written as \n (and \r).
std::string OneLine(const std::u16string& text) {
  std::string out;
  for (const char c : Utf16ToUtf8(text)) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

}  // namespace

HostLog::HostLog(std::filesystem::path directory, std::function<void(const std::string&)> status)
    : directory_(std::move(directory)), status_(std::move(status)) {
  if (!status_) status_ = [](const std::string& line) { std::cerr << line << std::flush; };
}

std::filesystem::path HostLog::CurrentLogFile() const {
  return directory_ / ("ERR_" + Stamp(LocalNow(), "%y%m") + ".txt");
}

bool HostLog::LogError(std::int32_t severity, const std::u16string& message,
                       const std::u16string& codeModule, std::int32_t lineNumber) {
  std::lock_guard lock(mutex_);
  std::error_code error;
  std::filesystem::create_directories(directory_, error);
  std::ofstream file(CurrentLogFile(), std::ios::app | std::ios::binary);
  if (!file) return false;
  file << Stamp(LocalNow(), "%Y-%m-%d %H:%M:%S") << '\t' << severity << '\t'
       << OneLine(codeModule) << '\t' << lineNumber << '\t' << OneLine(message) << '\n';
  return static_cast<bool>(file.flush());
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
