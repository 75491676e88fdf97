#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "base/text.h"
#include "release/transaction_number.h"
#include "tests/support/temp_dir.h"

namespace mirdane {
namespace {

// 2026-03-05 07:04:09.045 UTC
constexpr std::int64_t kMarch5 = 1772694249045;

class ScriptedClock final : public TransactionClock {
 public:
  explicit ScriptedClock(std::vector<std::int64_t> readings) : readings_(std::move(readings)) {}
  void Pause() override { ++pauses; }
  std::int64_t NowUtcMilliseconds() override { return readings_.at(next_++); }
  int pauses = 0;

 private:
  std::vector<std::int64_t> readings_;
  std::size_t next_ = 0;
};

TEST(TransactionNumber, FifteenDigitsOfTheUtcClock) {
  EXPECT_EQ(FormatTransactionNumber(kMarch5), u"260305070409045");
  EXPECT_EQ(FormatTransactionNumber(kMarch5 - 45), u"260305070409000");
  EXPECT_EQ(FormatTransactionNumber(4102444800000), u"000101000000000") << "2100-01-01";
  EXPECT_EQ(FormatTransactionNumber(951782400000), u"000229000000000") << "a leap day";
}

TEST(TransactionNumber, NeverRepeatsWhenTheClockStandsStillOrGoesBack) {
  ScriptedClock clock({kMarch5, kMarch5, kMarch5 - 5000, kMarch5 + 10});
  auto sequence = MakeProcessSequence();
  EXPECT_EQ(MakeTransactionNumber(clock, *sequence), u"260305070409045");
  EXPECT_EQ(MakeTransactionNumber(clock, *sequence), u"260305070409046");
  EXPECT_EQ(MakeTransactionNumber(clock, *sequence), u"260305070409047");
  EXPECT_EQ(MakeTransactionNumber(clock, *sequence), u"260305070409055");
  EXPECT_EQ(clock.pauses, 4) << "the pause comes before every reading";

  // The millisecond after 59.999 is the next minute.
  auto carry = MakeProcessSequence();
  ScriptedClock late({kMarch5 - 9045 + 59999, kMarch5 - 9045 + 59999});
  MakeTransactionNumber(late, *carry);
  EXPECT_EQ(MakeTransactionNumber(late, *carry), u"260305070500000");
}

// Two processes drawing at full speed from one machine-wide sequence.
TEST(TransactionNumber, TwoProcessesNeverDrawTheSameNumber) {
  test::TempDir dir;
  const std::string sequence_file = (dir.path() / "sequence").string();
  constexpr int kDraws = 3000;
  class NoPause final : public TransactionClock {
   public:
    void Pause() override {}
    std::int64_t NowUtcMilliseconds() override { return SystemTransactionClock().NowUtcMilliseconds(); }
  };
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      auto sequence = MakeFileSequence(sequence_file);
      NoPause clock;
      std::ofstream out(dir.path() / ("drawn" + std::to_string(child)));
      for (int i = 0; i < kDraws && sequence; ++i) out << Utf16ToUtf8(MakeTransactionNumber(clock, *sequence)) << '\n';
      out.close();  // _exit runs no destructors
      _exit(sequence && out ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::set<std::string> numbers;
  std::size_t drawn = 0;
  for (int child = 0; child < 2; ++child) {
    std::ifstream in(dir.path() / ("drawn" + std::to_string(child)));
    std::string previous;
    for (std::string number; std::getline(in, number); ++drawn) {
      EXPECT_GT(number, previous) << "strictly increasing within a process";
      previous = number;
      numbers.insert(number);
    }
  }
  EXPECT_EQ(drawn, 2u * kDraws);
  EXPECT_EQ(numbers.size(), drawn) << "a number was drawn twice";
}

}  // namespace
}  // namespace mirdane
