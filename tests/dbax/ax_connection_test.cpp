// CAxConnection, the registry and the library's start and stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"
#include "dbax/connection_registry.h"
#include "tests/support/fake_provider.h"

namespace dbAx {
namespace {

using mirdane::test::ScopedFakeProvider;

std::int32_t CodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (CAxException* e) {
    return TakeAxException(e)->code;
  }
  return -1;
}

TEST(AxConnection, CursorLocationRefusesValuesOutsideOneToThreeBeforeTouchingTheProvider) {
  ScopedFakeProvider fake;
  CAxConnection connection;
  connection.Create();
  fake.script().log.clear();
  EXPECT_EQ(CodeOf([&] { connection.CursorLocation(0); }), kAxErrorInvalidEnumeration);
  EXPECT_EQ(CodeOf([&] { connection.CursorLocation(4); }), kAxErrorInvalidEnumeration);
  EXPECT_TRUE(fake.script().log.empty());

  EXPECT_EQ(connection.CursorLocation(-1), 2);
  EXPECT_EQ(fake.script().log, std::vector<std::string>{"c1.get_CursorLocation"});
  EXPECT_EQ(connection.CursorLocation(3), 3);
}

TEST(AxConnection, EveryLocationFromOneToThreeReachesTheProviderAndIsReadBack) {
  ScopedFakeProvider fake;
  CAxConnection connection;
  connection.Create();
  for (const std::int32_t location : {1, 2, 3, 1}) {
    fake.script().log.clear();
    EXPECT_EQ(connection.CursorLocation(location), location);
    EXPECT_EQ(fake.script().log,
              (std::vector<std::string>{"c1.put_CursorLocation", "c1.get_CursorLocation"}))
        << location;
  }
  // The bounds are refused with 5006, and leave the location as it was.
  EXPECT_EQ(CodeOf([&] { connection.CursorLocation(0); }), kAxErrorInvalidEnumeration);
  EXPECT_EQ(CodeOf([&] { connection.CursorLocation(4); }), kAxErrorInvalidEnumeration);
  EXPECT_EQ(connection.CursorLocation(-1), 1);
}

TEST(AxConnection, CreateFailureLeavesNothingRegistered) {
  ScopedFakeProvider fake;
  fake.script().create_connection = mirdane::hr::kClassNotRegistered;
  CAxConnection connection;
  EXPECT_EQ(CodeOf([&] { connection.Create(); }), kAxErrorInitialize);
  EXPECT_EQ(connection.AdoConnection(), nullptr);
  EXPECT_EQ(ConnectionRegistry::Size(), 0u);
}

TEST(AxConnection, OpenWithAnEmptyStringReusesTheLastOne) {
  ScopedFakeProvider fake;
  CAxConnection connection;
  connection.Create();
  connection.Open(u"Data source=first", u"u", u"p", -1);
  connection.Close();
  connection.Open(u"", u"u", u"p", -1);
  EXPECT_EQ(fake.connections()[0]->last_connection_string, u"Data source=first");
}

TEST(AxConnection, DestroyingAConnectionWhoseOpenFailedOnlyUnregistersIt) {
  ScopedFakeProvider fake;
  fake.script().fail["Open"] = mirdane::hr::kFail;
  {
    CAxConnection connection;
    connection.Create();
    EXPECT_EQ(ConnectionRegistry::Size(), 1u);
    EXPECT_EQ(CodeOf([&] { connection.Open(u"x", u"", u"", -1); }), 0);
  }
  EXPECT_EQ(ConnectionRegistry::Size(), 0u);
  const auto& log = fake.script().log;
  EXPECT_EQ(std::count(log.begin(), log.end(), "c1.Close"), 0);
}

TEST(AxConnection, FailuresWhileDestroyingNeverEndTheProcess) {
  ScopedFakeProvider fake;
  // A close that fails in the destructor, while another exception unwinds the stack.
  try {
    CAxConnection connection;
    connection.Create();
    connection.Open(u"x", u"", u"", -1);
    fake.script().fail["Close"] = mirdane::hr::kFail;
    throw std::runtime_error("already failing");
  } catch (const std::runtime_error&) {
  }
  // A state query that fails in the destructor.
  {
    CAxConnection connection;
    connection.Create();
    fake.script().fail["get_State"] = mirdane::hr::kFail;
  }
  EXPECT_EQ(ConnectionRegistry::Size(), 0u);
}

TEST(AxLibrary, InitialisesOnceAndShutdownClosesOpenConnectionsInCreationOrder) {
  ScopedFakeProvider fake;
  AxLibInit();
  CAxConnection first, second, never_opened;
  first.Create();
  second.Create();
  never_opened.Create();
  AxLibInit();  // a second call must not empty the registry
  EXPECT_EQ(ConnectionRegistry::Size(), 3u);
  second.Open(u"x", u"", u"", -1);
  first.Open(u"x", u"", u"", -1);
  fake.script().log.clear();

  AxLibTerm();
  std::vector<std::string> closes;
  for (const auto& call : fake.script().log) {
    if (call.ends_with(".Close")) closes.push_back(call);
  }
  EXPECT_EQ(closes, (std::vector<std::string>{"c1.Close", "c2.Close"}));
  EXPECT_EQ(ConnectionRegistry::Size(), 0u);
  EXPECT_FALSE(AxLibIsInitialised());
  EXPECT_FALSE(first._IsOpen()) << "their later destruction finds them closed";
}

TEST(AxLibrary, ShutdownStopsAtTheFirstCloseThatThrows) {
  ScopedFakeProvider fake;
  AxLibInit();
  CAxConnection first;
  first.Create();
  first.Open(u"x", u"", u"", -1);
  fake.script().fail["Close"] = mirdane::hr::kFail;
  EXPECT_EQ(CodeOf([] { AxLibTerm(); }), 0);
  EXPECT_TRUE(AxLibIsInitialised());
  fake.script().fail.clear();
  AxLibTerm();
  EXPECT_FALSE(AxLibIsInitialised());
}

TEST(ConnectionRegistry, ConcurrentConnectionsAndMessagesLeaveItConsistent) {
  // The provider's own objects: the fake's log is not meant for several threads.
  std::atomic<bool> stop{false};
  auto churn = [&] {
    for (int i = 0; i < 300; ++i) {
      CAxConnection connection;
      connection.Create();
    }
  };
  std::thread composer([&] {
    while (!stop) CodeOf([] { ThrowAxException(0, u"op", 0); });
  });
  std::thread a(churn), b(churn);
  a.join();
  b.join();
  stop = true;
  composer.join();
  EXPECT_EQ(ConnectionRegistry::Size(), 0u);
}

}  // namespace
}  // namespace dbAx
