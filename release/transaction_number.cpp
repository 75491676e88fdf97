#include "release/transaction_number.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

#include "base/format.h"
#include "base/text.h"
#include "release/release_messages.h"
#include "release/report_to_host.h"
#include "release/shared_counter_file.h"

namespace mirdane {
namespace {

class SystemClock final : public TransactionClock {
 public:
  void Pause() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
  std::int64_t NowUtcMilliseconds() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
};

class ProcessSequence final : public TransactionSequence {
 public:
  std::int64_t Next(std::int64_t now) override {
    std::lock_guard lock(mutex_);
    last_ = now > last_ ? now : last_ + 1;
    return last_;
  }

 private:
  std::mutex mutex_;
  std::int64_t last_ = 0;
};

// The last number drawn on the machine, kept in a shared counter file.
class FileSequence final : public TransactionSequence {
 public:
  explicit FileSequence(std::unique_ptr<SharedCounterFile> file) : file_(std::move(file)) {}

  std::int64_t Next(std::int64_t now) override {
    // The file's lock excludes other processes; the mutex the other threads
    // of this one, which may share the lock.
    std::lock_guard lock(mutex_);
    std::int64_t last = last_drawn_;
    const bool locked = file_->Lock();
    if (locked) {
      const std::int64_t stored = file_->Read();
      if (IsPlausibleCounter(stored, now)) {
        last = std::max(last, stored);
      } else if (stored != 0 && !reported_) {
        // Planted or damaged: drawing from it could overflow or run far
        // ahead of the clock for good. Said once; the clock takes over.
        reported_ = true;
        ReportToHost(kReleaseCodeModule, kCounterIgnoredLine, kSeverityInformation,
                     u"The transaction counter file holds %s, which is no transaction time "
                     u"near now; it is ignored.",
                     {Utf8ToUtf16(std::to_string(stored))});
      }
    }
    // Without the lock the sequence still increases strictly in this process.
    last_drawn_ = now > last ? now : last + 1;
    if (locked) {
      file_->Write(last_drawn_);
      file_->Unlock();
    }
    return last_drawn_;
  }

 private:
  std::unique_ptr<SharedCounterFile> file_;
  std::mutex mutex_;
  std::int64_t last_drawn_ = 0;
  bool reported_ = false;
};

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after Howard
// Hinnant's days_from_civil inverse; gmtime is not thread-safe everywhere.
void CivilFromDays(std::int64_t days, int* year, int* month, int* day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

struct UtcTime {
  int year, month, day, hour, minute, second, millisecond;
};

UtcTime UtcTimeOf(std::int64_t utcMilliseconds) {
  const std::int64_t milliseconds_per_day = 86400000;
  std::int64_t days = utcMilliseconds / milliseconds_per_day;
  std::int64_t in_day = utcMilliseconds % milliseconds_per_day;
  if (in_day < 0) {
    in_day += milliseconds_per_day;
    --days;
  }
  UtcTime t{};
  CivilFromDays(days, &t.year, &t.month, &t.day);
  t.millisecond = static_cast<int>(in_day % 1000);
  const auto seconds = static_cast<int>(in_day / 1000);
  t.hour = seconds / 3600;
  t.minute = (seconds / 60) % 60;
  t.second = seconds % 60;
  return t;
}

}  // namespace

TransactionClock& SystemTransactionClock() {
  static SystemClock clock;
  return clock;
}

std::unique_ptr<TransactionSequence> MakeProcessSequence() {
  return std::make_unique<ProcessSequence>();
}

std::unique_ptr<TransactionSequence> MakeFileSequence(const std::string& path) {
  auto file = OpenSharedCounterFile(path);
  if (!file) return nullptr;
  return std::make_unique<FileSequence>(std::move(file));
}

bool IsPlausibleCounter(std::int64_t stored, std::int64_t now) {
  // 2000-01-01 to 2099-12-31: the times whose number has 15 digits yyMMdd...
  constexpr std::int64_t kFirst = 946684800000;
  constexpr std::int64_t kLast = 4102444799999;
  constexpr std::int64_t kDay = 86400000;
  return stored >= kFirst && stored <= kLast && stored <= now + kDay;
}

std::string CounterFilePath() {
  if (const char* chosen = std::getenv(kCounterFileVariable); chosen && *chosen) return chosen;
  return MachineCounterPath();
}

TransactionSequence& MachineTransactionSequence() {
  static const std::unique_ptr<TransactionSequence> sequence = [] {
    const std::string path = CounterFilePath();
    auto shared = path.empty() ? nullptr : MakeFileSequence(path);
    return shared ? std::move(shared) : MakeProcessSequence();
  }();
  return *sequence;
}

std::u16string FormatTransactionNumber(std::int64_t utcMilliseconds) {
  const UtcTime t = UtcTimeOf(utcMilliseconds);
  return FormatText(u"%02d%02d%02d%02d%02d%02d%03d",
                    {t.year % 100, t.month, t.day, t.hour, t.minute, t.second, t.millisecond});
}

std::u16string FormatUtcTimestamp(std::int64_t utcMilliseconds) {
  const UtcTime t = UtcTimeOf(utcMilliseconds);
  return FormatText(u"%04d-%02d-%02d %02d:%02d:%02d.%03d",
                    {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond});
}

std::u16string MakeTransactionNumber(TransactionClock& clock, TransactionSequence& sequence) {
  clock.Pause();
  return FormatTransactionNumber(sequence.Next(clock.NowUtcMilliseconds()));
}

std::u16string MakeTransactionNumber() {
  return MakeTransactionNumber(SystemTransactionClock(), MachineTransactionSequence());
}

std::u16string MakeTransactionNumberAfterCollision(TransactionClock& clock,
                                                   TransactionSequence& sequence,
                                                   std::int64_t gap) {
  clock.Pause();
  const std::int64_t next = sequence.Next(clock.NowUtcMilliseconds());
  return FormatTransactionNumber(sequence.Next(next + std::max<std::int64_t>(gap, 1)));
}

std::u16string MakeTransactionNumberAfterCollision() {
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::int64_t> gap(1, 1000);
  return MakeTransactionNumberAfterCollision(SystemTransactionClock(), MachineTransactionSequence(),
                                             gap(random));
}

}  // namespace mirdane
