#include <gtest/gtest.h>

#include <thread>

#include "release/release_script.h"
#include "release/report_to_host.h"

namespace mirdane {
namespace {

// Release data that only records what is reported to it.
class RecordingReleaseData final : public kfx::ReleaseData {
 public:
  struct Logged {
    std::int32_t err1, err2, err3;
    std::u16string message, module;
    std::int32_t line;
  };
  struct Sent {
    std::u16string message;
    std::int32_t number, info;
  };
  std::vector<Logged> logged;
  std::vector<Sent> sent;

  HRESULT get_KofaxPDFFileName(std::u16string*) override { return hr::kFail; }
  HRESULT get_ConnectString(std::u16string*) override { return hr::kFail; }
  HRESULT get_UserName(std::u16string*) override { return hr::kFail; }
  HRESULT get_Password(std::u16string*) override { return hr::kFail; }
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>*) override { return hr::kFail; }
  HRESULT get_Values(std::shared_ptr<kfx::Values>*) override { return hr::kFail; }
  HRESULT LogError(std::int32_t e1, std::int32_t e2, std::int32_t e3, const std::u16string& message,
                   const std::u16string& module, std::int32_t line) override {
    logged.push_back({e1, e2, e3, message, module, line});
    return hr::kOk;
  }
  HRESULT SendMessage(const std::u16string& message, std::int32_t number, std::int32_t info) override {
    sent.push_back({message, number, info});
    return hr::kFail;  // not consulted
  }
};

class ReportToHostTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearLogTarget(); }
  std::shared_ptr<RecordingReleaseData> target_ = std::make_shared<RecordingReleaseData>();
};

TEST_F(ReportToHostTest, WithoutATargetNothingHappens) {
  ClearLogTarget();
  Report(messages::kFailedToGetValues);
  SetLogTarget(target_);
  ClearLogTarget();
  Report(messages::kFailedToGetValues);
  EXPECT_TRUE(target_->logged.empty());
}

TEST_F(ReportToHostTest, ErrorsAreLoggedAndSentInformationIsOnlyLogged) {
  SetLogTarget(target_);
  Report(messages::kErrorUpdatingLine, {2, 3, u"why"});
  Report(messages::kDocumentReleased, {u"doc.tif"});
  ASSERT_EQ(target_->logged.size(), 2u);
  const auto& error = target_->logged[0];
  EXPECT_EQ(error.message, u"Error Updating UAG0CPP record 2 of 3: why");
  EXPECT_EQ(error.err1, 1);
  EXPECT_EQ(error.err2, 0);
  EXPECT_EQ(error.err3, 0);
  EXPECT_EQ(error.module, u".\\releaseScript");
  EXPECT_EQ(error.line, 328);
  EXPECT_EQ(target_->logged[1].err1, 0);
  EXPECT_EQ(target_->logged[1].line, 520);
  ASSERT_EQ(target_->sent.size(), 1u);
  EXPECT_EQ(target_->sent[0].number, 1);
  EXPECT_EQ(target_->sent[0].info, kfx::KFX_REL_DOC_ERROR);
}

TEST_F(ReportToHostTest, LongMessagesAreCutWithoutSplittingASurrogatePair) {
  SetLogTarget(target_);
  // "Error in ReleaseDoc: " is 21 units; a pair straddles unit 1023.
  std::u16string filler(1001, u'x');
  Report(messages::kErrorInReleaseDoc, {filler + u"\U0001F600tail"});
  ASSERT_EQ(target_->logged.size(), 1u);
  EXPECT_EQ(target_->logged[0].message.size(), 1022u);
  Report(messages::kErrorInReleaseDoc, {std::u16string(5000, u'y')});
  EXPECT_EQ(target_->logged[1].message.size(), kMaxReportLength);
}

TEST_F(ReportToHostTest, EachThreadReportsToTheDocumentItIsReleasing) {
  auto other = std::make_shared<RecordingReleaseData>();
  SetLogTarget(other);  // the latest assignment, made by another script
  std::thread worker([&] {
    ScopedReportTarget scope(target_.get());
    Report(messages::kFailedToGetValues);
  });
  worker.join();
  Report(messages::kFailedToGetCountOfValues);  // no scope here: the process-wide target
  ASSERT_EQ(target_->logged.size(), 1u);
  EXPECT_EQ(target_->logged[0].line, 418);
  ASSERT_EQ(other->logged.size(), 1u);
  EXPECT_EQ(other->logged[0].line, 129);
}

TEST_F(ReportToHostTest, ReleaseDocWithoutDataFailsSilentlyAndScriptCallsKeepTheirShape) {
  releaseScript script;
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  EXPECT_EQ(script.ReleaseDoc(&result), hr::kOk);
  EXPECT_EQ(result, kfx::KFX_REL_ERROR);

  EXPECT_EQ(script.putref_DocumentData(target_), hr::kOk);
  std::shared_ptr<kfx::ReleaseData> held;
  script.get_DocumentData(&held);
  EXPECT_EQ(held, target_);
  // Values cannot be had from this release data.
  script.ReleaseDoc(&result);
  EXPECT_EQ(result, kfx::KFX_REL_ERROR);
  ASSERT_EQ(target_->logged.size(), 1u);
  EXPECT_EQ(target_->logged[0].message, u"Failed to get values");

  script.CloseScript(&result);
  EXPECT_EQ(result, kfx::KFX_REL_SUCCESS);
  script.get_DocumentData(&held);
  EXPECT_EQ(held, nullptr);
  Report(messages::kFailedToGetValues);
  EXPECT_EQ(target_->logged.size(), 1u) << "CloseScript cleared the log target";
}

}  // namespace
}  // namespace mirdane
