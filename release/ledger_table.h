// The release ledger: one row per document released with the ledger on, in
// the library beside the bridge tables. A document's row is stored (state
// started) before its first bridge row and marked complete after its last,
// so that a document released again is never written twice.
#pragma once

namespace mirdane::ledger {

inline constexpr char16_t kTable[] = u"MIRDLEDGER";

// The columns. Names keep to the IBM i's ten characters, so that the
// system names are the SQL names.
inline constexpr char16_t kKey[] = u"LGKEY";           // SHA-256 of the document's key, hex
inline constexpr char16_t kDocument[] = u"LGDOC";      // the document's key, as people read it
inline constexpr char16_t kTransaction[] = u"LGABNV";  // its transaction number (GYABNV)
inline constexpr char16_t kState[] = u"LGSTAT";        // kStarted or kComplete
inline constexpr char16_t kStartedAt[] = u"LGSTRT";    // UTC, yyyy-mm-dd hh:mm:ss.fff
inline constexpr char16_t kCompletedAt[] = u"LGDONE";  // UTC; blank while started

inline constexpr char16_t kStarted[] = u"S";
inline constexpr char16_t kComplete[] = u"C";

struct Column {
  const char16_t* name;
  const char16_t* sqlType;
};

// In table order. The key and the transaction number are each unique.
inline constexpr Column kColumns[] = {
    {kKey, u"CHAR(64)"},         {kDocument, u"VARCHAR(1024)"}, {kTransaction, u"DECIMAL(15, 0)"},
    {kState, u"CHAR(1)"},        {kStartedAt, u"CHAR(23)"},     {kCompletedAt, u"CHAR(23)"},
};
inline constexpr int kDocumentLength = 1024;

}  // namespace mirdane::ledger
