#include "release/release_ledger.h"

#include <memory>

#include "base/format.h"
#include "base/text.h"
#include "dbax/ax_command.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "dbax/provider/ado.h"
#include "dbax/sql_identifier.h"
#include "host/custom_property.h"
#include "release/bridge_records.h"
#include "release/ledger_table.h"
#include "release/report_to_host.h"
#include "release/transaction_number.h"

namespace mirdane {
namespace {

namespace ado = dbAx::provider::ado;
using dbAx::CAxCommand;
using dbAx::CAxException;

std::u16string Now() { return FormatUtcTimestamp(SystemTransactionClock().NowUtcMilliseconds()); }

// At most `limit` code units, never half a surrogate pair.
std::u16string Shortened(const std::u16string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  if (end > 0 && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
  return text.substr(0, end);
}

std::u16string Unexpected() { return u"an unexpected failure"; }

}  // namespace

std::u16string TransactionNumberText(const std::u16string& stored) {
  std::u16string text(TrimBlanks(stored));
  if (!text.empty() && text.front() == u'+') text.erase(0, 1);
  if (const auto dot = text.find(u'.'); dot != std::u16string::npos &&
      text.find_first_not_of(u'0', dot + 1) == std::u16string::npos) {
    text.erase(dot);
  }
  // A DECIMAL drops the leading zeros of the years 2000 to 2009 and 2100.
  if (!text.empty() && text.size() < 15 &&
      text.find_first_not_of(u"0123456789") == std::u16string::npos) {
    text.insert(0, 15 - text.size(), u'0');
  }
  return text;
}

bool ReleaseLedgerSwitchedOn(kfx::ReleaseData& data) {
  std::u16string value;
  ReadCustomProperty(data, kReleaseLedger, &value, u"");
  return value == kReleaseLedgerOn;
}

ReleaseLedger::ReleaseLedger(dbAx::CAxConnection& connection, std::u16string library,
                             DocumentKey key, std::function<std::u16string()> draw)
    : connection_(connection), library_(std::move(library)), key_(std::move(key)),
      draw_(std::move(draw)) {}

std::u16string ReleaseLedger::QualifiedName() const { return library_ + u"." + ledger::kTable; }

std::u16string ReleaseLedger::Table(const char16_t* name) const { return library_ + u"." + name; }

bool ReleaseLedger::Find(LedgerEntry* entry) {
  try {
    if (!dbAx::IsSqlIdentifier(library_)) {
      Report(messages::kErrorReadingLedger, {ledger::kTable, InvalidLibraryMessage(library_)});
      return false;
    }
    return Read(entry);
  } catch (CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    if (e->hr == ado::DB_E_NOTABLE) {
      Report(messages::kLedgerMissing, {QualifiedName(), library_});
    } else {
      Report(messages::kErrorReadingLedger, {ledger::kTable, e->message});
    }
  } catch (...) {
    Report(messages::kErrorReadingLedger, {ledger::kTable, Unexpected()});
  }
  return false;
}

bool ReleaseLedger::Read(LedgerEntry* entry) {
  const auto rows = CAxCommand(connection_).Query(
      u"SELECT " + std::u16string(ledger::kTransaction) + u", " + ledger::kState + u" FROM " +
          Table(ledger::kTable) + u" WHERE " + ledger::kKey + u" = ?",
      {Utf8ToUtf16(key_.hash)});
  *entry = LedgerEntry{};
  if (rows.empty()) return true;
  const auto unusable = [&](const std::u16string& why) {
    Report(messages::kLedgerRowUnusable, {QualifiedName(), key_.shown, why});
    return false;
  };
  if (rows.size() > 1) {
    return unusable(FormatText(u"it holds %d rows for the document, so its key %s is not unique "
                               u"(mirdane bridge check)",
                               {static_cast<int>(rows.size()), ledger::kKey}));
  }
  const auto& row = rows.front();
  const std::u16string number = row.size() > 0 && row[0] ? TransactionNumberText(*row[0]) : u"";
  const std::u16string state = row.size() > 1 && row[1] ? std::u16string(TrimBlanks(*row[1])) : u"";
  if (number.size() != 15 || number.find_first_not_of(u"0123456789") != std::u16string::npos) {
    return unusable(u"its row has the transaction number '" + number + u"'");
  }
  entry->transaction = number;
  if (state == ledger::kStarted) {
    entry->state = LedgerEntry::State::kStarted;
  } else if (state == ledger::kComplete) {
    entry->state = LedgerEntry::State::kComplete;
  } else {
    return unusable(u"its row has the state '" + state + u"', neither S (started) nor C (complete)");
  }
  return true;
}

bool ReleaseLedger::DeleteTransaction(const std::u16string& transaction) {
  // Lines first: a release stopped between the two leaves a header without
  // lines, which the audit shows and the next release deletes.
  const std::pair<const char16_t*, const char16_t*> rows[] = {{u"UAG0CPP", u"G0ABNV"},
                                                              {u"UAGYCPP", u"GYABNV"}};
  for (const auto& [table, column] : rows) {
    try {
      CAxCommand(connection_).Execute(
          u"DELETE FROM " + Table(table) + u" WHERE " + column + u" = ?", {transaction});
    } catch (CAxException* caught) {
      const auto e = dbAx::TakeAxException(caught);
      Report(messages::kErrorDeleting, {table, e->message});
      return false;
    } catch (...) {
      Report(messages::kErrorDeleting, {table, Unexpected()});
      return false;
    }
  }
  return true;
}

ReleaseLedger::Stored ReleaseLedger::Insert(const std::u16string& number, std::u16string* refusal) {
  dbAx::CAxRecordset record;
  if (!OpenRecordForInsert(record, ledger::kTable, library_, connection_)) return Stored::kFailed;
  try {
    record.SetFieldTextChecked(ledger::kKey, Utf8ToUtf16(key_.hash));
    record.SetFieldTextChecked(ledger::kDocument, Shortened(key_.shown, ledger::kDocumentLength));
    record.SetFieldTextChecked(ledger::kTransaction, number);
    record.SetFieldTextChecked(ledger::kState, ledger::kStarted);
    record.SetFieldTextChecked(ledger::kStartedAt, Now());
    record.Update();
    return Stored::kYes;  // the recordset closes as it goes
  } catch (CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    *refusal = e->message;
    try {
      record.CancelUpdate();
    } catch (CAxException* second) {
      delete second;  // the first failure is the one to report
    }
    if (e->hr == ado::DB_E_INTEGRITYVIOLATION) return Stored::kDuplicate;
    Report(messages::kErrorUpdating, {ledger::kTable, e->message});
  } catch (...) {
    Report(messages::kGeneralErrorUpdating, {ledger::kTable});
  }
  return Stored::kFailed;
}

bool ReleaseLedger::ReportHeldElsewhere(const std::u16string& fallback) {
  LedgerEntry now;
  if (!Find(&now)) return false;
  Report(messages::kReleasedElsewhere,
         {key_.shown, QualifiedName(), now.transaction.empty() ? fallback : now.transaction});
  return false;
}

bool ReleaseLedger::Start(const LedgerEntry& found, std::u16string* number) {
  if (found.state == LedgerEntry::State::kStarted) return Renumber(found.transaction, number);
  for (int attempt = 1;; ++attempt) {
    std::u16string refusal;
    switch (Insert(*number, &refusal)) {
      case Stored::kYes: return true;
      case Stored::kFailed: return false;
      case Stored::kDuplicate: break;
    }
    // The document's key or the number is taken: the unique key decides
    // between two stations releasing the document at once.
    LedgerEntry now;
    if (!Find(&now)) return false;
    if (now.state != LedgerEntry::State::kAbsent) return ReportHeldElsewhere(now.transaction);
    if (attempt >= kHeaderStoreAttempts) {
      Report(messages::kErrorUpdating, {ledger::kTable, refusal});
      return false;
    }
    *number = draw_();  // another document holds the number
  }
}

bool ReleaseLedger::Renumber(const std::u16string& from, std::u16string* number) {
  for (int attempt = 1;; ++attempt) {
    try {
      const std::int32_t changed = CAxCommand(connection_).Execute(
          u"UPDATE " + Table(ledger::kTable) + u" SET " + ledger::kTransaction + u" = ?, " +
              ledger::kStartedAt + u" = ? WHERE " + ledger::kKey + u" = ? AND " +
              ledger::kTransaction + u" = ? AND " + ledger::kState + u" = ?",
          {*number, Now(), Utf8ToUtf16(key_.hash), from, ledger::kStarted});
      if (changed > 0) return true;
      // No longer started under `from`: another station took the document over.
      return ReportHeldElsewhere(from);
    } catch (CAxException* caught) {
      const auto e = dbAx::TakeAxException(caught);
      if (e->hr != ado::DB_E_INTEGRITYVIOLATION || attempt >= kHeaderStoreAttempts) {
        Report(messages::kErrorUpdating, {ledger::kTable, e->message});
        return false;
      }
    } catch (...) {
      Report(messages::kGeneralErrorUpdating, {ledger::kTable});
      return false;
    }
    *number = draw_();  // another document holds the number
  }
}

bool ReleaseLedger::Complete(const std::u16string& number) {
  try {
    const std::int32_t changed = CAxCommand(connection_).Execute(
        u"UPDATE " + Table(ledger::kTable) + u" SET " + ledger::kState + u" = ?, " +
            ledger::kCompletedAt + u" = ? WHERE " + ledger::kKey + u" = ? AND " +
            ledger::kTransaction + u" = ? AND " + ledger::kState + u" = ?",
        {ledger::kComplete, Now(), Utf8ToUtf16(key_.hash), number, ledger::kStarted});
    if (changed > 0) return true;
    return ReportHeldElsewhere(number);
  } catch (CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    Report(messages::kErrorUpdating, {ledger::kTable, e->message});
  } catch (...) {
    Report(messages::kGeneralErrorUpdating, {ledger::kTable});
  }
  return false;
}

}  // namespace mirdane
