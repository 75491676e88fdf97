// A release station driving the release ledger by hand, one step at a time,
// so that tests can interleave two stations and choose the numbers drawn.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "dbax/ax_connection.h"
#include "release/release_ledger.h"

namespace mirdane::test {

// Release data that only records what the release reports to it, and offers
// a UniqueDocumentID as told.
class RecordingReleaseData final : public kfx::ReleaseData {
 public:
  struct Line {
    int severity;
    int line;
    std::string message;
  };
  std::vector<Line> logged;
  std::u16string id;
  HRESULT idAnswer = hr::kUnknownName;

  HRESULT get_KofaxPDFFileName(std::u16string*) override { return hr::kFail; }
  HRESULT get_ConnectString(std::u16string*) override { return hr::kFail; }
  HRESULT get_UserName(std::u16string*) override { return hr::kFail; }
  HRESULT get_Password(std::u16string*) override { return hr::kFail; }
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>*) override { return hr::kFail; }
  HRESULT get_Values(std::shared_ptr<kfx::Values>*) override { return hr::kFail; }
  HRESULT LogError(std::int32_t err1, std::int32_t, std::int32_t, const std::u16string& message,
                   const std::u16string&, std::int32_t line) override;
  HRESULT SendMessage(const std::u16string&, std::int32_t, std::int32_t) override { return hr::kOk; }
  HRESULT get_UniqueDocumentID(std::u16string* value) override {
    if (idAnswer == hr::kOk) *value = id;
    return idAnswer;
  }
};

class LedgerStation {
 public:
  // Opens a connection to `system` and works on the ledger of `library` for
  // the document with UniqueDocumentID `id`. `draws` are the numbers handed
  // out, in order, when the ledger asks for another.
  LedgerStation(const std::u16string& system, const std::u16string& library,
                const std::u16string& id, std::deque<std::u16string> draws = {},
                const std::u16string& user = u"", const std::u16string& password = u"");

  // Each step runs with this station's reports going to `log()`.
  bool Find(LedgerEntry* entry);
  bool Start(const LedgerEntry& found, std::u16string* number);
  bool Renumber(const std::u16string& from, std::u16string* number);
  bool Complete(const std::u16string& number);
  bool DeleteTransaction(const std::u16string& number);

  const std::vector<RecordingReleaseData::Line>& log() const { return data_->logged; }
  const DocumentKey& key() const { return ledger_->key(); }

 private:
  template <typename Step>
  bool Run(Step step);

  std::shared_ptr<RecordingReleaseData> data_ = std::make_shared<RecordingReleaseData>();
  std::deque<std::u16string> draws_;
  dbAx::CAxConnection connection_;
  std::unique_ptr<ReleaseLedger> ledger_;
};

}  // namespace mirdane::test
