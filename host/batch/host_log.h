// Where the file-backed host puts the release's messages: the error log, one
// text file per month, and the status messages on standard error.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>

namespace mirdane::batch {

class HostLog {
 public:
  // Messages go to `directory` (created when first needed); status messages
  // to `status`, which defaults to standard error.
  explicit HostLog(std::filesystem::path directory,
                   std::function<void(const std::string&)> status = nullptr);

  // Appends one line to ERR_<yy><mm>.txt: the local time, the severity, the
  // code module, the line number and the message, tab-separated, with line
  // breaks in the message written as \n. False when the file cannot be
  // written: the first time, the status stream hears why, and every line that
  // could not be logged goes there instead, so that none is lost unseen.
  bool LogError(std::int32_t severity, const std::u16string& message,
                const std::u16string& codeModule, std::int32_t lineNumber);
  // Shows a status message of document `document`.
  void SendMessage(int document, const std::u16string& message);

  // The log file that a message logged now goes to.
  std::filesystem::path CurrentLogFile() const;
  // Whether any line could not be written to the log.
  bool failed() const;

 private:
  std::filesystem::path LogFileAt(const std::tm& time) const;
  // Appends `line` to the file of `time`'s month: empty when written, else why not.
  std::string Append(const std::tm& time, const std::string& line);

  std::filesystem::path directory_;
  std::function<void(const std::string&)> status_;
  mutable std::mutex mutex_;
  bool failed_ = false;
  // The month's file, kept open while lines go to it.
  std::ofstream file_;
  int open_month_ = -1;  // of file_: years since 1900 times 12 plus the month
};

}  // namespace mirdane::batch
