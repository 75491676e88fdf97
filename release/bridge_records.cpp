#include "release/bridge_records.h"

#include <charconv>
#include <memory>

#include "base/format.h"
#include "base/system_message.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "dbax/provider/ado.h"
#include "dbax/sql_identifier.h"
#include "release/report_to_host.h"

namespace mirdane {
namespace {

namespace ado = dbAx::provider::ado;
using dbAx::CAxRecordset;

// The settings both bridge recordsets are opened with: a forward-only cursor
// on the client, optimistic locking, a cache of one row, and only modified
// fields marshalled.
void OpenForInsert(CAxRecordset& record, const std::u16string& sql,
                   dbAx::CAxConnection& connection) {
  record.CursorType(ado::adOpenForwardOnly);
  record.CacheSize(1);
  record.Open(sql, &connection, ado::adOpenForwardOnly, ado::adUseClient, ado::adLockOptimistic,
              ado::adOptionUnspecified);
  record.MarshalOptions(ado::adMarshalModifiedOnly);
}

// A line's number as text ("12"), as "%d" writes it.
std::u16string LineNumberText(int number) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  return std::u16string(digits, end);
}

void AssignAll(CAxRecordset& record, const LineValues& values) {
  for (const auto& [column, text] : values) record.SetFieldTextChecked(column, text);
}

// Adds line `i` of `lines` as a new row and stores it, numbered by the
// counter. The number is drawn once the common values are assigned: a line
// that fails later leaves a gap, one that fails earlier does not.
void StoreLine(CAxRecordset& record, const ChargeLineSet& lines, int i, int* counter) {
  record.AddNew();
  if (i >= 1) AssignAll(record, lines[0]);
  record.SetFieldTextChecked(u"G0GMNB", LineNumberText(++*counter));
  AssignAll(record, lines[static_cast<std::size_t>(i)]);
  record.Update();
}

// Stores every line together where the provider can send them in one go:
// true when all of them are stored. False when none is, which is also the
// answer when any line could not be staged: the caller then stores the lines
// one by one, so that what is stored and reported is what that gives. Throws
// when what is stored is not known.
bool StoreLinesTogether(CAxRecordset& record, const ChargeLineSet& lines, int lastIndex) {
  if (!record.BeginRowBatch()) return false;
  int number = 0;
  for (int i = lastIndex == 0 ? 0 : 1; i <= lastIndex; ++i) {
    try {
      StoreLine(record, lines, i, &number);
    } catch (dbAx::CAxException* caught) {
      dbAx::TakeAxException(caught);
      record.CancelUpdate();
      record.EndRowBatch();
      return false;
    } catch (...) {
      record.CancelUpdate();
      record.EndRowBatch();
      return false;
    }
  }
  return record.SendRowBatch();
}

}  // namespace

std::u16string InvalidLibraryMessage(const std::u16string& library) {
  return FormatText(u"The library name '%s' (serverAPILibrary) is not a valid IBM i SQL "
                    u"identifier: 1 to 128 letters, digits, _, $, # or @, not starting with a "
                    u"digit.",
                    {library});
}

bool OpenRecordForInsert(CAxRecordset& record, const std::u16string& table,
                         const std::u16string& library, dbAx::CAxConnection& connection) {
  try {
    if (!dbAx::IsSqlIdentifier(library)) {
      Report(messages::kErrorInitializing, {table, InvalidLibraryMessage(library)});
      return false;
    }
    if (record.Create() != hr::kOk) return false;
    OpenForInsert(record, FormatText(u"SELECT * FROM %s.%s WHERE 1=0", {library, table}),
                  connection);
    record.AddNew();
    return true;
  } catch (dbAx::CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    Report(messages::kErrorInitializing, {table, e->message});
  } catch (...) {
    Report(messages::kGeneralInitializingUpdating, {table});
  }
  return false;
}

bool UpdateRecord(CAxRecordset& record, const std::u16string& table) {
  try {
    record.Update();
    return true;
  } catch (dbAx::CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    Report(messages::kErrorUpdating, {table, e->message});
  } catch (...) {
    Report(messages::kGeneralErrorUpdating, {table});
  }
  return false;
}

bool StoreHeader(CAxRecordset& header, std::u16string* number,
                 const std::function<std::optional<std::u16string>()>& draw) {
  for (int attempt = 1;; ++attempt) {
    try {
      header.Update();
      return true;
    } catch (dbAx::CAxException* caught) {
      const auto e = dbAx::TakeAxException(caught);
      if (e->hr != ado::DB_E_INTEGRITYVIOLATION || attempt >= kHeaderStoreAttempts) {
        Report(messages::kErrorUpdating, {u"UAGYCPP", e->message});
        return false;
      }
    } catch (...) {
      Report(messages::kGeneralErrorUpdating, {u"UAGYCPP"});
      return false;
    }
    // The row is still pending: only its number changes.
    try {
      std::optional<std::u16string> next = draw();
      if (!next) return false;
      *number = std::move(*next);
      header.SetFieldTextChecked(u"GYABNV", *number);
    } catch (dbAx::CAxException* caught) {
      const auto e = dbAx::TakeAxException(caught);
      Report(messages::kErrorUpdating, {u"UAGYCPP", e->message});
      return false;
    }
  }
}

bool WriteChargeLines(dbAx::CAxConnection& connection, const std::u16string& library,
                      const ChargeLineSet& lines) {
  try {
    const int lastIndex = static_cast<int>(lines.size()) - 1;
    int lineCounter = 0;
    bool success = true;

    auto record = std::make_unique<CAxRecordset>();
    try {
      if (!dbAx::IsSqlIdentifier(library)) {
        Report(messages::kErrorCreatingLineRecord, {InvalidLibraryMessage(library)});
        return false;
      }
      if (const HRESULT created = record->Create(); created != hr::kOk) {
        Report(messages::kErrorCreatingLineRecord,
               {u"The recordset object cannot be created: " + HresultText(created)});
        return false;
      }
      OpenForInsert(*record, FormatText(u"SELECT * FROM %s.UAG0CPP WHERE 1=0", {library}),
                    connection);
    } catch (dbAx::CAxException* caught) {
      const auto e = dbAx::TakeAxException(caught);
      Report(messages::kErrorCreatingLineRecord, {e->message});
      return false;
    } catch (...) {
      Report(messages::kGeneralErrorCreatingLineRecord);
      return false;
    }

    // Sent together, the lines cost the server one round trip instead of
    // one each; whatever goes wrong there, they are stored one by one below.
    const bool together = StoreLinesTogether(*record, lines, lastIndex);
    for (int i = 0; i <= lastIndex && !together; ++i) {
      // Entry 0 is a line of its own only when there are no table rows.
      if (i == 0 && lastIndex != 0) continue;
      try {
        StoreLine(*record, lines, i, &lineCounter);
      } catch (dbAx::CAxException* caught) {
        const auto e = dbAx::TakeAxException(caught);
        Report(messages::kErrorUpdatingLine, {i, lastIndex, e->message});
        record->CancelUpdate();
        success = false;
      } catch (...) {
        Report(messages::kGeneralErrorUpdatingLine, {i, lastIndex});
        record->CancelUpdate();
        success = false;
      }
    }
    try {
      record->Close();
    } catch (dbAx::CAxException* caught) {
      auto e = dbAx::TakeAxException(caught);
      // Every line is committed: a recordset that fails to close afterwards
      // must not send the document back for a second, duplicate release.
      if (!success || e->code != dbAx::kAxErrorClose) throw e.release();
      ReportToHost(kReleaseCodeModule, messages::kErrorUpdatingLines.line, kSeverityInformation,
                   messages::kErrorUpdatingLines.format, {e->message});
    }
    record.reset();
    return success;
  } catch (dbAx::CAxException* caught) {
    const auto e = dbAx::TakeAxException(caught);
    Report(messages::kErrorUpdatingLines, {e->message});
  } catch (...) {
    Report(messages::kGeneralErrorUpdatingLines);
  }
  return false;
}

}  // namespace mirdane
