#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <set>

#include "base/text.h"
#include "release/shared_counter_file.h"
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

// Two stations whose sequences run in step: after a collision, the next
// number leaves the other station's sequence behind, and later draws go on
// from there.
TEST(TransactionNumber, AfterACollisionTheSequenceJumpsAhead) {
  ScriptedClock clock({kMarch5, kMarch5, kMarch5});
  auto sequence = MakeProcessSequence();
  EXPECT_EQ(MakeTransactionNumber(clock, *sequence), u"260305070409045");
  EXPECT_EQ(MakeTransactionNumberAfterCollision(clock, *sequence, 300), u"260305070409346");
  EXPECT_EQ(MakeTransactionNumber(clock, *sequence), u"260305070409347");
  EXPECT_EQ(clock.pauses, 3);
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

TEST(CounterFile, OnlyATimeNearNowCanBeTheLastNumberDrawn) {
  EXPECT_TRUE(IsPlausibleCounter(kMarch5, kMarch5));
  EXPECT_TRUE(IsPlausibleCounter(kMarch5 + 86400000, kMarch5)) << "a day ahead";
  EXPECT_FALSE(IsPlausibleCounter(kMarch5 + 86400001, kMarch5));
  EXPECT_FALSE(IsPlausibleCounter(std::numeric_limits<std::int64_t>::max(), kMarch5));
  EXPECT_FALSE(IsPlausibleCounter(-1, kMarch5));
  EXPECT_FALSE(IsPlausibleCounter(946684799999, kMarch5)) << "1999: a 15-digit number of 99";
  EXPECT_TRUE(IsPlausibleCounter(946684800000, kMarch5));
  EXPECT_FALSE(IsPlausibleCounter(4102444800000, 4102444800000)) << "2100";
}

TEST(CounterFile, APlantedValueIsIgnoredAndTheClockTakesOver) {
  test::TempDir dir;
  const auto path = dir.path() / "counter";
  for (const std::string& planted : std::vector<std::string>{"9223372036854775807", "99999999999999999999", "-5", "abc",
                                    std::to_string(kMarch5 + 2 * 86400000LL)}) {
    std::ofstream(path, std::ios::trunc) << planted << "\n";
    auto sequence = MakeFileSequence(path.string());
    ASSERT_TRUE(sequence);
    EXPECT_EQ(sequence->Next(kMarch5), kMarch5) << planted;
    std::ifstream in(path);
    std::string stored;
    in >> stored;
    EXPECT_EQ(stored, std::to_string(kMarch5)) << "rewritten with the number drawn";
  }
  // A value just ahead (the clock set back a little) is still honoured.
  std::ofstream(path, std::ios::trunc) << kMarch5 + 5000 << "\n";
  EXPECT_EQ(MakeFileSequence(path.string())->Next(kMarch5), kMarch5 + 5001);
}

TEST(CounterFile, ALinkOrAnotherAccountsFileIsNotUsed) {
  test::TempDir dir;
  const auto target = dir.path() / "target";
  std::ofstream(target) << "keep\n";
  const auto link = dir.path() / "counter";
  std::filesystem::create_symlink(target, link);
  EXPECT_EQ(MakeFileSequence(link.string()), nullptr);
  std::ifstream in(target);
  std::string kept;
  in >> kept;
  EXPECT_EQ(kept, "keep") << "the link's target is untouched";

  if (geteuid() == 0) {  // only root can give a file away
    const auto foreign = dir.path() / "foreign";
    std::ofstream(foreign) << kMarch5 << "\n";
    ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
    EXPECT_EQ(MakeFileSequence(foreign.string()), nullptr);
  }
}

TEST(CounterFile, TheAccountsOwnFileIsWritableByItAlone) {
  const std::string path = MachineCounterPath();
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.rfind("/tmp/", 0), 0u) << path;
  struct stat folder {};
  ASSERT_EQ(stat(std::filesystem::path(path).parent_path().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0022, 0u) << "nobody else may write the folder";
  EXPECT_EQ(folder.st_uid, geteuid());
  auto file = OpenSharedCounterFile((std::filesystem::path(path).parent_path() / "probe").string());
  ASSERT_TRUE(file);
  struct stat probe {};
  ASSERT_EQ(stat((std::filesystem::path(path).parent_path() / "probe").c_str(), &probe), 0);
  EXPECT_EQ(probe.st_mode & 0077, 0u);
  std::filesystem::remove(std::filesystem::path(path).parent_path() / "probe");
}

}  // namespace
}  // namespace mirdane
