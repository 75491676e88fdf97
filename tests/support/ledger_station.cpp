#include "tests/support/ledger_station.h"

#include <gtest/gtest.h>

#include "base/format.h"
#include "base/text.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"
#include "release/report_to_host.h"

namespace mirdane::test {

HRESULT RecordingReleaseData::LogError(std::int32_t err1, std::int32_t, std::int32_t,
                                       const std::u16string& message, const std::u16string&,
                                       std::int32_t line) {
  logged.push_back({err1, line, Utf16ToUtf8(message)});
  return hr::kOk;
}

LedgerStation::LedgerStation(const std::u16string& system, const std::u16string& library,
                             const std::u16string& id, std::deque<std::u16string> draws,
                             const std::u16string& user, const std::u16string& password)
    : draws_(std::move(draws)) {
  dbAx::AxLibInit();
  try {
    connection_.Create();
    connection_.CursorLocation(3);
    connection_.Open(FormatText(u"Provider=IBMDA400;Data source=%s;Force Translate=0", {system}),
                     user, password, -1);
  } catch (dbAx::CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    ADD_FAILURE() << "the station cannot connect: " << Utf16ToUtf8(e->message);
  }
  ledger_ = std::make_unique<ReleaseLedger>(connection_, library, MakeDocumentKey(u"id:" + id, id),
                                            [this] {
                                              if (draws_.empty()) {
                                                ADD_FAILURE() << "no number left to draw";
                                                return std::u16string(u"999999999999999");
                                              }
                                              auto next = draws_.front();
                                              draws_.pop_front();
                                              return next;
                                            });
}

template <typename Step>
bool LedgerStation::Run(Step step) {
  ScopedReportTarget reports(data_.get());
  return step(*ledger_);
}

bool LedgerStation::Find(LedgerEntry* entry) {
  return Run([&](ReleaseLedger& ledger) { return ledger.Find(entry); });
}
bool LedgerStation::Start(const LedgerEntry& found, std::u16string* number) {
  return Run([&](ReleaseLedger& ledger) { return ledger.Start(found, number); });
}
bool LedgerStation::Renumber(const std::u16string& from, std::u16string* number) {
  return Run([&](ReleaseLedger& ledger) { return ledger.Renumber(from, number); });
}
bool LedgerStation::Complete(const std::u16string& number) {
  return Run([&](ReleaseLedger& ledger) { return ledger.Complete(number); });
}
bool LedgerStation::DeleteTransaction(const std::u16string& number) {
  return Run([&](ReleaseLedger& ledger) { return ledger.DeleteTransaction(number); });
}

}  // namespace mirdane::test
