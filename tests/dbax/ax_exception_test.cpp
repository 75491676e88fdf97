// Message composition of the data-access layer, byte for byte.
#include <gtest/gtest.h>

#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "dbax/connection_registry.h"
#include "tests/support/fake_provider.h"

namespace dbAx {
namespace {

using mirdane::test::ScopedFakeProvider;

// Runs `action` and gives the exception it threw, owned.
template <typename Action>
std::unique_ptr<CAxException> Caught(Action action) {
  try {
    action();
  } catch (CAxException* e) {
    return TakeAxException(e);
  }
  ADD_FAILURE() << "no CAxException was thrown";
  return std::make_unique<CAxException>();
}

TEST(AxException, CodeZeroWithoutConnectionsIsTheTextAndTheComLine) {
  ASSERT_EQ(ConnectionRegistry::Size(), 0u);
  auto e = Caught([] { ThrowAxException(0, u"CAxConnection::Open", mirdane::hr::kFail); });
  EXPECT_EQ(e->code, 0);
  EXPECT_EQ(e->message, u"CAxConnection::Open\nCOM Error: Unspecified error");
  EXPECT_EQ(e->adoErrors, nullptr);
  EXPECT_EQ(e->hr, mirdane::hr::kFail);

  e = Caught([] { ThrowAxException(0, nullptr, 0); });
  EXPECT_EQ(e->message, u"");
}

TEST(AxException, ProviderErrorsAreSeparatedByAnEmptyLineAndClearedAfterwards) {
  ScopedFakeProvider fake;
  CAxConnection first, second;
  first.Create();
  second.Create();
  fake.SetErrors(1, {{-100, u"SQL0204 - UAGYCPP in XALIB type *FILE not found."},
                     {-200, u"Second description"}});

  auto e = Caught([] { ThrowAxException(0, u"CAxRecordset::Open", mirdane::hr::kFail); });
  EXPECT_EQ(e->message,
            u"CAxRecordset::Open\nSQL0204 - UAGYCPP in XALIB type *FILE not found.\n\n"
            u"Second description\nCOM Error: Unspecified error");
  EXPECT_EQ(e->code, -200) << "the number of the last error read";
  EXPECT_EQ(e->errorCount, 2);

  // Reported once: a second exception finds the errors gone.
  e = Caught([] { ThrowAxException(0, u"CAxRecordset::Update", 0); });
  EXPECT_EQ(e->message, u"CAxRecordset::Update");
  EXPECT_EQ(e->code, 0);
  EXPECT_NE(e->adoErrors, nullptr) << "the last connection walked stays, with count 0";
  EXPECT_EQ(e->errorCount, 0);
}

TEST(AxException, TheWalkStopsAtTheFirstConnectionWithErrors) {
  ScopedFakeProvider fake;
  CAxConnection first, second;
  first.Create();
  second.Create();
  fake.SetErrors(0, {{1, u"first"}});
  fake.SetErrors(1, {{2, u"second"}});
  auto e = Caught([] { ThrowAxException(0, u"op", 0); });
  EXPECT_EQ(e->message, u"op\nfirst");
  e = Caught([] { ThrowAxException(0, u"op", 0); });
  EXPECT_EQ(e->message, u"op\nsecond");
}

TEST(AxException, LibraryCodesCarryTheirTextTheComLineAndTheSource) {
  auto e = Caught([] { ThrowAxException(kAxErrorInvalidEnumeration, u"CAxConnection::CursorLocation", 0); });
  EXPECT_EQ(e->message, u"Invalid enumeration value\nSource: CAxConnection::CursorLocation");

  e = Caught([] { ThrowAxException(kAxErrorInitialize, u"CAxConnection::Create", mirdane::hr::kClassNotRegistered); });
  EXPECT_EQ(e->message,
            u"The dbAx Library failed to initialize\nCOM Error: Class not registered\n"
            u"Source: CAxConnection::Create");

  e = Caught([] { ThrowAxException(4711, nullptr, 0); });
  EXPECT_EQ(e->message, u"Unknown error");
  EXPECT_EQ(e->code, 4711);
}

TEST(AxException, FieldValueMessagesEndWithTheErrorCode) {
  auto e = Caught([] {
    ThrowAxException(kAxErrorFieldValue, u"Failed to set Field 'GYABNV' to value '12A'", mirdane::hr::kFail);
  });
  EXPECT_EQ(e->message, u"Failed to set Field 'GYABNV' to value '12A' (Error Code: 0x80004005)");
  EXPECT_EQ(e->code, kAxErrorFieldValue);

  e = Caught([] { ThrowAxException(kAxErrorFieldValue, u"Invalid number", 0); });
  EXPECT_EQ(e->message, u"Invalid number (Error Code: 0x00000000)");
}

TEST(AxException, AFieldValueRefusedByTheProviderCarriesTheProvidersReason) {
  ScopedFakeProvider fake;
  CAxConnection connection;
  connection.Create();
  fake.SetErrors(0, {{-1, u"SQL0404 - Value for column GYABNT too long."}});
  auto e = Caught([] {
    ThrowAxException(kAxErrorFieldValue, u"Failed to set Field 'GYABNT' to value 'X'",
                     mirdane::hr::FromBits(0x80040E21));
  });
  EXPECT_EQ(e->message, u"Failed to set Field 'GYABNT' to value 'X' (Error Code: 0x80040e21)\n"
                        u"SQL0404 - Value for column GYABNT too long.");
  EXPECT_EQ(e->code, kAxErrorFieldValue);
  // The digit check is the layer's own: no provider error belongs to it.
  fake.SetErrors(0, {{-1, u"stale"}});
  e = Caught([] { ThrowAxException(kAxErrorFieldValue, u"Invalid number", 0); });
  EXPECT_EQ(e->message, u"Invalid number (Error Code: 0x00000000)");
}

TEST(AxException, AFailingRecordsetStateQueryGivesOnlyTheProviderDescriptions) {
  ScopedFakeProvider fake;
  CAxConnection connection;
  connection.Create();
  CAxRecordset recordset;
  ASSERT_EQ(recordset.Create(), 0);
  fake.script().fail["get_State"] = mirdane::hr::kFail;
  fake.SetErrors(0, {{7, u"state unknown"}});
  auto e = Caught([&] { recordset._IsOpen(); });
  EXPECT_EQ(e->message, u"\nstate unknown");
  fake.script().fail.clear();
}

}  // namespace
}  // namespace dbAx
