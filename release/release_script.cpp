#include "release/release_script.h"

#include <exception>
#include <optional>

#include "base/format.h"
#include "base/text.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "dbax/provider/ado.h"
#include "base/system_message.h"
#include "release/bridge_records.h"
#include "release/document_key.h"
#include "release/document_values.h"
#include "release/release_ledger.h"
#include "release/report_to_host.h"
#include "release/transaction_number.h"

namespace mirdane {
namespace {

namespace ado = dbAx::provider::ado;
using kfx::KFX_REL_ERROR;
using kfx::KFX_REL_SUCCESS;

// A host property read that fails leaves the text empty.
template <typename Getter>
std::u16string ReadText(kfx::ReleaseData& data, Getter getter) {
  std::u16string text;
  if ((data.*getter)(&text) != hr::kOk) text.clear();
  return text;
}

}  // namespace

HRESULT releaseScript::OpenScript(kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  *result = KFX_REL_SUCCESS;
  return hr::kOk;
}

HRESULT releaseScript::CloseScript(kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  releaseData_.reset();
  ClearLogTarget();
  *result = KFX_REL_SUCCESS;
  return hr::kOk;
}

HRESULT releaseScript::get_DocumentData(std::shared_ptr<kfx::ReleaseData>* data) {
  if (!data) return hr::kPointer;
  *data = releaseData_;
  return hr::kOk;
}

HRESULT releaseScript::putref_DocumentData(std::shared_ptr<kfx::ReleaseData> data) {
  releaseData_ = std::move(data);
  SetLogTarget(releaseData_);
  return hr::kOk;
}

HRESULT releaseScript::ReleaseDoc(kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  *result = KFX_REL_ERROR;
  // Without release data there is nothing to release and nowhere to report.
  const std::shared_ptr<kfx::ReleaseData> data = releaseData_;
  if (!data) return hr::kOk;
  ScopedReportTarget reports(data.get());
  try {
    *result = ReleaseCurrentDocument(*data);
  } catch (const std::exception& error) {
    Report(messages::kErrorInReleaseDoc, {Utf8ToUtf16(error.what())});
  } catch (...) {
    Report(messages::kErrorInReleaseDoc, {u"unexpected failure"});
  }
  return hr::kOk;
}

kfx::KfxReturnValue releaseScript::ReleaseCurrentDocument(kfx::ReleaseData& data) {
  std::u16string documentName = ReadText(data, &kfx::ReleaseData::get_KofaxPDFFileName);
  const std::u16string dataSource = ReadText(data, &kfx::ReleaseData::get_ConnectString);
  const std::u16string user = ReadText(data, &kfx::ReleaseData::get_UserName);
  const std::u16string password = ReadText(data, &kfx::ReleaseData::get_Password);
  std::u16string library;
  ReadCustomProperty(data, kServerApiLibrary, &library, u"");

  std::shared_ptr<kfx::Values> values;
  if (data.get_Values(&values) != hr::kOk || !values) {
    Report(messages::kFailedToGetValues);
    return KFX_REL_ERROR;
  }
  const std::u16string pdfFileName = documentName;
  std::u16string original;
  if (FindOriginalFile(*values, &original)) documentName = original;
  const std::u16string connectionString =
      FormatText(u"Provider=IBMDA400;Data source=%s;Force Translate=0", {dataSource});

  // With the release ledger on, the document is released under its key; a
  // document without one is released as with the ledger off.
  std::optional<DocumentKey> key;
  if (ReleaseLedgerSwitchedOn(data)) {
    DocumentKey found;
    HRESULT failure = hr::kOk;
    switch (FindDocumentKey(data, original, pdfFileName, &found, &failure)) {
      case KeyLookup::kFound:
        key = std::move(found);
        break;
      case KeyLookup::kNone:
        Report(messages::kNoDocumentKey);
        break;
      case KeyLookup::kFailed:
        Report(messages::kErrorReadingDocumentId, {HresultText(failure)});
        return KFX_REL_ERROR;
    }
  }

  // Set once the header and every line are stored: from then on the document
  // is in XA, whatever closing does.
  bool allRowsStored = false;
  try {
    // Declared in this order, so that leaving the block releases the charge
    // lines, then the header record, then the connection.
    dbAx::CAxConnection connection;
    dbAx::CAxRecordset header;
    ChargeLineSet lines;
    auto closeAll = [&] {
      lines.clear();
      header.Close();
      if (connection._IsOpen()) connection.Close();
    };

    connection.Create();
    connection.CursorLocation(ado::adUseClient);
    connection.Open(connectionString, user, password, ado::adOptionUnspecified);

    std::optional<ReleaseLedger> ledger;
    LedgerEntry entry;
    if (key) {
      ledger.emplace(connection, library, *key, [] { return MakeTransactionNumber(); });
      if (!ledger->Find(&entry)) {
        closeAll();
        return KFX_REL_ERROR;
      }
      if (entry.state == LedgerEntry::State::kComplete) {
        // Sent back and released again: it is in XA already.
        closeAll();
        Report(messages::kAlreadyReleased, {documentName, entry.transaction});
        return KFX_REL_SUCCESS;
      }
    }

    if (!OpenRecordForInsert(header, u"UAGYCPP", library, connection)) {
      closeAll();
      return KFX_REL_ERROR;
    }
    if (!readVariables(*values, header, lines)) {
      header.CancelUpdate();
      closeAll();
      return KFX_REL_ERROR;
    }
    std::u16string transactionNumber = MakeTransactionNumber();
    if (ledger) {
      // A release stopped half-way: its rows go before the document is
      // released anew, and the started row names the new number before any
      // row of it is stored.
      const bool halfWritten = entry.state == LedgerEntry::State::kStarted;
      if ((halfWritten && !ledger->DeleteTransaction(entry.transaction)) ||
          !ledger->Start(entry, &transactionNumber)) {
        header.CancelUpdate();
        closeAll();
        return KFX_REL_ERROR;
      }
      if (halfWritten) Report(messages::kHalfWrittenDeleted, {entry.transaction, key->shown});
    }
    header.SetFieldTextChecked(u"GYABNV", transactionNumber);
    const auto draw = [&]() -> std::optional<std::u16string> {
      std::u16string next = MakeTransactionNumberAfterCollision();
      // The ledger follows the header to its new number before it is stored.
      if (ledger && !ledger->Renumber(transactionNumber, &next)) return std::nullopt;
      return next;
    };
    if (!StoreHeader(header, &transactionNumber, draw)) {
      closeAll();
      return KFX_REL_ERROR;
    }
    // The lines carry their header's number whatever a link maps to the
    // column: another number would detach them from the header.
    SetGeneratedLineValue(u"G0ABNV", transactionNumber, lines);
    RemoveLineValue(u"G0GMNB", lines);  // numbered as they are written
    AddCommonLineValue(u"G0SSFW", u"0", lines);
    AddCommonLineValue(u"G0SSN4", u"0", lines);
    if (!WriteChargeLines(connection, library, lines)) {
      closeAll();
      return KFX_REL_ERROR;
    }
    // Not released until the ledger says so: otherwise the next release
    // would take the rows for half-written ones and write them again.
    if (ledger && !ledger->Complete(transactionNumber)) {
      closeAll();
      return KFX_REL_ERROR;
    }
    allRowsStored = true;
    closeAll();
  } catch (dbAx::CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    if (!allRowsStored) {
      // A recordset that fails to close follows a failure already reported.
      if (e->code != dbAx::kAxErrorClose) Report(messages::kErrorInReleaseDoc, {e->message});
      return KFX_REL_ERROR;
    }
    // Every row is committed: reporting an error would make the host release
    // the document again and duplicate the transaction in XA. The trouble
    // closing is kept in the log only.
    ReportToHost(kReleaseCodeModule, messages::kErrorInReleaseDoc.line, kSeverityInformation,
                 messages::kErrorInReleaseDoc.format, {e->message});
  }
  Report(messages::kDocumentReleased, {documentName});
  return KFX_REL_SUCCESS;
}

}  // namespace mirdane
