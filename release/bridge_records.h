// Writing the bridge rows of one document: the transaction header row in
// UAGYCPP and the charge line rows in UAG0CPP.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "release/charge_lines.h"

namespace dbAx {
class CAxConnection;
class CAxRecordset;
}  // namespace dbAx

namespace mirdane {

// Opens `table` of `library` for inserting and starts the pending new row.
// False after a reported failure (or, unreported, when the recordset object
// cannot be created). A library that is not an SQL identifier is refused
// before any statement is built.
bool OpenRecordForInsert(dbAx::CAxRecordset& record, const std::u16string& table,
                         const std::u16string& library, dbAx::CAxConnection& connection);

// Stores the pending row; `table` names it in messages. The row is not
// cancelled when storing fails.
bool UpdateRecord(dbAx::CAxRecordset& record, const std::u16string& table);

// How many transaction numbers a header is stored with before its failure is
// reported: each try after the first follows a refusal as a duplicate key.
inline constexpr int kHeaderStoreAttempts = 5;

// Stores the pending header row with the transaction number `*number` in
// GYABNV. When the server refuses it as a duplicate key (a station on another
// machine stored the same number first), draws the next number with
// `draw`, puts it into GYABNV and stores again, up to kHeaderStoreAttempts in
// all; `*number` is the number stored. Reports only when every try failed;
// `draw` answering nothing stops it (having reported why).
bool StoreHeader(dbAx::CAxRecordset& header, std::u16string* number,
                 const std::function<std::optional<std::u16string>()>& draw);

// Stores one charge line per table row (one single line when there is none),
// numbered from 1. A failing line is reported and cancelled and the others
// are still written; true when every line was stored.
bool WriteChargeLines(dbAx::CAxConnection& connection, const std::u16string& library,
                      const ChargeLineSet& lines);

// The message for a library name that cannot go into a statement.
std::u16string InvalidLibraryMessage(const std::u16string& library);

}  // namespace mirdane
