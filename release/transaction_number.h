// The transaction number: the key that ties a document's charge lines to its
// header, 15 digits yyMMddhhmmssfff of the UTC clock.
//
// Numbers never repeat. Within a process they strictly increase, and all
// processes of the machine draw them from one shared sequence under a lock,
// so two Release modules working at the same moment cannot collide. When the
// clock has not passed the last number drawn (two draws within a millisecond,
// or the clock set back), the next number is the last one plus a millisecond.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mirdane {

class TransactionClock {
 public:
  virtual ~TransactionClock() = default;
  // The pause before each reading (1 ms).
  virtual void Pause() = 0;
  // Milliseconds since 1970-01-01 00:00 UTC.
  virtual std::int64_t NowUtcMilliseconds() = 0;
};

class TransactionSequence {
 public:
  virtual ~TransactionSequence() = default;
  // The number (as UTC milliseconds) to use for a draw at `now`: `now`, or one
  // millisecond after the last number drawn when `now` is not later.
  virtual std::int64_t Next(std::int64_t now) = 0;
};

// The environment variable that names the counter file instead of the
// account's own (for tests, and for stations that must not share one).
inline constexpr char kCounterFileVariable[] = "MIRDANE_COUNTER_FILE";

// Whether a counter file's number can be the last one drawn: a time whose
// number has 15 digits, and no more than a day ahead of `now`.
bool IsPlausibleCounter(std::int64_t stored, std::int64_t now);

// The counter file: the one kCounterFileVariable names, else the account's
// own (MachineCounterPath).
std::string CounterFilePath();

// The clock of the system.
TransactionClock& SystemTransactionClock();
// The sequence kept in CounterFilePath(), shared by every process of the
// account; a sequence of this process alone when that file cannot be used.
TransactionSequence& MachineTransactionSequence();
// A sequence of this process alone.
std::unique_ptr<TransactionSequence> MakeProcessSequence();
// A sequence kept in `path`, shared by every process that uses the same file.
std::unique_ptr<TransactionSequence> MakeFileSequence(const std::string& path);

// yyMMddhhmmssfff of a UTC time in milliseconds.
std::u16string FormatTransactionNumber(std::int64_t utcMilliseconds);
// yyyy-mm-dd hh:mm:ss.fff of a UTC time in milliseconds.
std::u16string FormatUtcTimestamp(std::int64_t utcMilliseconds);

// Pauses, reads the clock and draws the next number.
std::u16string MakeTransactionNumber(TransactionClock& clock, TransactionSequence& sequence);
std::u16string MakeTransactionNumber();

// A number to try after the last one drawn was found taken by another
// station: `gap` milliseconds past the next one, and the sequence goes on
// from there. A station that only took the next number would stay in step
// behind another station drawing the same sequence and collide on every try.
std::u16string MakeTransactionNumberAfterCollision(TransactionClock& clock,
                                                   TransactionSequence& sequence,
                                                   std::int64_t gap);
// The same with a random gap of 1 to 1000 milliseconds.
std::u16string MakeTransactionNumberAfterCollision();

}  // namespace mirdane
